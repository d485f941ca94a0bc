// Start-up: the fixed order, the application object with its version data
// and generator, the splash as the first window, and the report of an
// exception that escapes start-up.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Pixelmoth.h"
#include "app/Startup.h"
#include "editor/MainWindow.h"
#include "framework/Application.h"
#include "framework/TestSeams.h"
#include "framework/Window.h"
#include "render/effects/Effect.h"
#include "shell/SplashScreen.h"
#include "tests/support/Fixtures.h"

namespace {

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { TestSeams::Reset(); }
  void TearDown() override { TestSeams::Reset(); }
};

// The runtime steps of start-up and every window built, in the order the
// framework saw them.
std::vector<std::string> StartupSteps() {
  static const std::vector<std::string> kSteps = {
      "RuntimeInitialization", "RuntimeStaticInitializers", "RuntimeSetExceptionHelper",
      "RuntimeDeclareFrameworkRelease", "SetSupportsHiDPI", "InitExternalClasses", "FillPluginEntryPoints", "x_SetVersionData",
      "RuntimeRegisterAppObject", "RunFrameworkInitialization", "Event_Open", "RuntimeRun",
      "UnhandledException", "RuntimeFinalizers"};
  std::vector<std::string> steps;
  for (const std::string& entry : TestSeams::RuntimeTrace()) {
    if (entry.rfind("Window ", 0) == 0 || std::find(kSteps.begin(), kSteps.end(), entry) != kSteps.end())
      steps.push_back(entry);
  }
  return steps;
}

TEST_F(StartupTest, TheProcessRunsEveryStepInOrder) {
  EXPECT_EQ(ProcessMain(), 0);
  const std::vector<std::string> expected = {
      "RuntimeInitialization", "RuntimeStaticInitializers", "RuntimeSetExceptionHelper",
      "RuntimeDeclareFrameworkRelease",
      "SetSupportsHiDPI",  // before the application object and any window
      "InitExternalClasses", "FillPluginEntryPoints", "x_SetVersionData", "RuntimeRegisterAppObject",
      "RunFrameworkInitialization", "Event_Open", "Window SplashScreen.SplashScreen", "RuntimeRun",
      "RuntimeFinalizers"};
  EXPECT_EQ(StartupSteps(), expected);
  EXPECT_TRUE(Application::SupportsHiDPI());
  EXPECT_TRUE(ClassicControlsAvailable());
}

TEST_F(StartupTest, TheApplicationObjectGetsItsVersionData) {
  EarlyStartup();
  Ref<Pixelmoth> app = App();
  ASSERT_TRUE(app);
  EXPECT_EQ(app->MajorVersion(), 1);  // while the short version says 0.9
  EXPECT_EQ(app->MinorVersion(), 0);
  EXPECT_EQ(app->BugVersion(), 0);
  EXPECT_EQ(app->NonReleaseVersion(), 0);
  EXPECT_EQ(app->StageCode(), 3);
  EXPECT_EQ(app->LongVersion(), "KAVREN");
  EXPECT_EQ(app->ShortVersion(), "0.9");
  EXPECT_EQ(app->PackageInfo(), "");
  EXPECT_EQ(app->RegionCode(), "");  // the framework's default: start-up sets none
}

// The Open event makes the generator; late start-up makes the splash the
// first and only window.
TEST_F(StartupTest, FrameworkInitialisationOpensTheSplashFirst) {
  EarlyStartup();
  EXPECT_FALSE(App()->glitchRandom);
  RunFrameworkInitialization(&LateStartup);
  EXPECT_TRUE(App()->glitchRandom);
  Ref<Window> splash = GetImplicitWindow(SplashScreen::kClassName);
  ASSERT_TRUE(splash);
  EXPECT_TRUE(splash->Visible());
  EXPECT_FALSE(GetImplicitWindow(MainWindow::kClassName));
  const std::vector<std::string> steps = StartupSteps();
  const auto firstWindow = std::find_if(steps.begin(), steps.end(),
                                        [](const std::string& s) { return s.rfind("Window ", 0) == 0; });
  ASSERT_NE(firstWindow, steps.end());
  EXPECT_EQ(*firstWindow, "Window SplashScreen.SplashScreen");
  EXPECT_EQ(std::count(steps.begin(), steps.end(), "Event_Open"), 1);
}

// Previews drawn one after another take the next numbers of the one
// generator: the second YGlitch preview is the one a generator gives after
// serving a first.
TEST_F(StartupTest, SuccessivePreviewsContinueOneSequence) {
  EarlyStartup();
  RunFrameworkInitialization(&LateStartup);
  const Ref<Random> generator = App()->glitchRandom;
  TestSeams::Seed(*generator, 5);
  Ref<class MainWindow> w = MainWindow();
  const Ref<Picture> source = PhotoLikePicture(120, 100);
  GivePicture(*w, source);

  w->FX1_Action(*w->FX1());
  w->FX1_Action(*w->FX1());
  EXPECT_EQ(App()->glitchRandom, generator);

  Random reference;
  TestSeams::Seed(reference, 5);
  Ref<Picture> expected;
  for (int preview = 0; preview < 2; ++preview) {
    expected = MakeRef<Picture>(source->Width(), source->Height());
    YGlitch({source->RGBSurface(), expected->RGBSurface(), source->Width(), source->Height(),
             w->FXSlider()->Value(), reference, w->zW, w->zH, w->ZoomFactor});
  }
  EXPECT_TRUE(SamePixels(w->fxLayer, expected));
}

// A live window of another class under the splash's class name makes the
// splash accessor's type check throw during late start-up.
class Impostor : public Window {
 public:
  Impostor() : Window(SplashScreen::kClassName) {}
  void Layout() override {}
  void CreateControls() override {}
};

void StartWithAnImpostor() {
  auto impostor = std::make_shared<Impostor>();
  impostor->Constructor();
}

TEST_F(StartupTest, AnExceptionDuringStartUpGoesToTheReport) {
  StartWithAnImpostor();
  EXPECT_NE(ProcessMain(), 0);
  const std::vector<std::string> steps = StartupSteps();
  EXPECT_EQ(std::count(steps.begin(), steps.end(), "RuntimeRun"), 0);
  EXPECT_EQ(std::count(steps.begin(), steps.end(), "UnhandledException"), 1);
  EXPECT_EQ(steps.back(), "RuntimeFinalizers");
  const std::vector<std::string> log = TestSeams::LogLines();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.find("IllegalCastException") != std::string::npos;
  }));
  EXPECT_EQ(TestSeams::MessageBoxes().size(), 1u);
}

TEST(StartupDeathTest, AnExceptionDuringStartUpEndsTheProcessWithAFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        TestSeams::Reset();
        TestSeams::CaptureLog(false);  // the report's line goes to standard error
        StartWithAnImpostor();
        std::exit(ProcessMain());
      },
      [](int status) { return WIFEXITED(status) && WEXITSTATUS(status) != 0; },
      "Unhandled exception: .*IllegalCastException");
}

}  // namespace
