#include "app/Pixelmoth.h"

Pixelmoth::Pixelmoth() = default;

void Pixelmoth::Event_Open() { glitchRandom = MakeRef<Random>(); }

Ref<Pixelmoth> App() { return RefCast<Pixelmoth>(GetAppObject()); }
