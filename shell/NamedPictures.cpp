#include "shell/NamedPictures.h"

namespace {
// The rule all sixteen share: a picture once opened stays in its slot for the
// rest of the process; a nil open is not remembered, so the next call asks the
// framework again.
Ref<Picture> Cached(Ref<Picture>& slot, const char* name) {
  if (!slot) slot = Picture::OpenFromApp(name);
  return slot;
}
}  // namespace

// Each slot belongs to its accessor; the resource name is the accessor's own.
Ref<Picture> splash() { static Ref<Picture> slot; return Cached(slot, "splash"); }
Ref<Picture> iconopen() { static Ref<Picture> slot; return Cached(slot, "iconopen"); }
Ref<Picture> iconsave() { static Ref<Picture> slot; return Cached(slot, "iconsave"); }
Ref<Picture> iconycoord() { static Ref<Picture> slot; return Cached(slot, "iconycoord"); }
Ref<Picture> iconhertz() { static Ref<Picture> slot; return Cached(slot, "iconhertz"); }
Ref<Picture> iconblockr() { static Ref<Picture> slot; return Cached(slot, "iconblockr"); }
Ref<Picture> iconghost() { static Ref<Picture> slot; return Cached(slot, "iconghost"); }
Ref<Picture> icondiacritix() { static Ref<Picture> slot; return Cached(slot, "icondiacritix"); }
Ref<Picture> icontaraxacum1() { static Ref<Picture> slot; return Cached(slot, "icontaraxacum1"); }
Ref<Picture> iconcoaxial() { static Ref<Picture> slot; return Cached(slot, "iconcoaxial"); }
Ref<Picture> iconcorrupted() { static Ref<Picture> slot; return Cached(slot, "iconcorrupted"); }
Ref<Picture> iconabout1() { static Ref<Picture> slot; return Cached(slot, "iconabout1"); }
Ref<Picture> iconbroken() { static Ref<Picture> slot; return Cached(slot, "iconbroken"); }
Ref<Picture> iconbadcopy() { static Ref<Picture> slot; return Cached(slot, "iconbadcopy"); }
Ref<Picture> iconamplifier() { static Ref<Picture> slot; return Cached(slot, "iconamplifier"); }
Ref<Picture> iconoverdrive() { static Ref<Picture> slot; return Cached(slot, "iconoverdrive"); }
