#include "app/Pixelmoth.h"

Pixelmoth::Pixelmoth() = default;
void Pixelmoth::Event_Open() {}
Ref<Pixelmoth> App() { return RefCast<Pixelmoth>(GetAppObject()); }
