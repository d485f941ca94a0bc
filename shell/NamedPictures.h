#pragma once
// The application's named pictures, each opened from the resources on first
// use and kept for the life of the process. A nil result is not kept: the
// next call asks again.

#include "framework/Picture.h"
#include "framework/Ref.h"

Ref<Picture> splash();
Ref<Picture> iconopen();
Ref<Picture> iconsave();
Ref<Picture> iconycoord();
Ref<Picture> iconhertz();
Ref<Picture> iconblockr();
Ref<Picture> iconghost();
Ref<Picture> icondiacritix();
Ref<Picture> icontaraxacum1();
Ref<Picture> iconcoaxial();
Ref<Picture> iconcorrupted();
Ref<Picture> iconabout1();
Ref<Picture> iconbroken();
Ref<Picture> iconbadcopy();
Ref<Picture> iconamplifier();
Ref<Picture> iconoverdrive();
