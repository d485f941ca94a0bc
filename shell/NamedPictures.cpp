#include "shell/NamedPictures.h"

Ref<Picture> splash() { return nullptr; }
Ref<Picture> iconopen() { return nullptr; }
Ref<Picture> iconsave() { return nullptr; }
Ref<Picture> iconycoord() { return nullptr; }
Ref<Picture> iconhertz() { return nullptr; }
Ref<Picture> iconblockr() { return nullptr; }
Ref<Picture> iconghost() { return nullptr; }
Ref<Picture> icondiacritix() { return nullptr; }
Ref<Picture> icontaraxacum1() { return nullptr; }
Ref<Picture> iconcoaxial() { return nullptr; }
Ref<Picture> iconcorrupted() { return nullptr; }
Ref<Picture> iconabout1() { return nullptr; }
Ref<Picture> iconbroken() { return nullptr; }
Ref<Picture> iconbadcopy() { return nullptr; }
Ref<Picture> iconamplifier() { return nullptr; }
Ref<Picture> iconoverdrive() { return nullptr; }
