#include "render/effects/Effect.h"

const std::array<EffectEntry, 12> kEffects = {{
    EffectEntry{"YGlitch", &YGlitch},
    EffectEntry{"Hertz", &Hertz},
    EffectEntry{"Blockr", &Blockr},
    EffectEntry{"Ghost", &Ghost},
    EffectEntry{"Diacritix", &Diacritix},
    EffectEntry{"Taraxacum", &Taraxacum},
    EffectEntry{"Coaxial", &Coaxial},
    EffectEntry{"Corrupted", &Corrupted},
    EffectEntry{"Broken", &Broken},
    EffectEntry{"Bad Copy", &BadCopy},
    EffectEntry{"Amplifier", &Amplifier},
    EffectEntry{"Overdrive", &Overdrive},
}};
