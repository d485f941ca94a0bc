#pragma once
// The editor brought up headless for a benchmark: the application object
// registered and opened, both generators seeded, the main window made.

#include "framework/Ref.h"

class MainWindow;

namespace Bench {

Ref<class MainWindow> HeadlessEditor();

}  // namespace Bench
