#pragma once
// The sixteen named pictures and their resource names, for the tests.

#include "shell/NamedPictures.h"

struct NamedPicture {
  const char* name;
  Ref<Picture> (*accessor)();
};

inline constexpr NamedPicture kNamedPictures[] = {
    {"splash", &splash},
    {"iconopen", &iconopen},
    {"iconsave", &iconsave},
    {"iconycoord", &iconycoord},
    {"iconhertz", &iconhertz},
    {"iconblockr", &iconblockr},
    {"iconghost", &iconghost},
    {"icondiacritix", &icondiacritix},
    {"icontaraxacum1", &icontaraxacum1},
    {"iconcoaxial", &iconcoaxial},
    {"iconcorrupted", &iconcorrupted},
    {"iconabout1", &iconabout1},
    {"iconbroken", &iconbroken},
    {"iconbadcopy", &iconbadcopy},
    {"iconamplifier", &iconamplifier},
    {"iconoverdrive", &iconoverdrive},
};
