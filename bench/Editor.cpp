#include "bench/Editor.h"

#include <memory>

#include "app/Pixelmoth.h"
#include "editor/MainWindow.h"
#include "framework/Application.h"
#include "framework/TestSeams.h"

namespace Bench {

Ref<class MainWindow> HeadlessEditor() {
  TestSeams::InitHeadless();
  RuntimeRegisterAppObject(std::make_shared<Pixelmoth>());
  App()->Event_Open();
  TestSeams::Seed(*App()->glitchRandom, 1);
  TestSeams::SeedRnd(2);
  return MainWindow();
}

}  // namespace Bench
