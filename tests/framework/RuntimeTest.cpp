// Start-up services: the order the runtime records, the application's Open
// event, and the report of an unhandled exception.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/TestSeams.h"
#include "tests/framework/UiFixtures.h"

namespace {
using RuntimeTest = UiTest;

class CountingApp : public Application {
 public:
  int opens = 0;
  bool throwOnOpen = false;
  void Event_Open() override {
    ++opens;
    if (throwOnOpen) throw OutOfBoundsException("in Open");
  }
};

std::shared_ptr<CountingApp> startedApp;
bool lateStartupRan = false;
void LateStartupWithAWindow() {
  lateStartupRan = true;
  (void)BuildWindow({P("Width", 100), P("Height", 100)}, {}, "First.First");
}
void LateStartupThatThrows() { throw UnsupportedOperationException("late"); }

TEST_F(RuntimeTest, StartUpIsTracedInOrderWithHighResolutionBeforeTheAppAndAnyWindow) {
  RuntimeInitialization();
  RuntimeStaticInitializers();
  RuntimeSetExceptionHelper(&CallFunctionWithExceptionHandling);
  RuntimeDeclareFrameworkRelease("2019.01");
  Application::SetSupportsHiDPI(true);
  InitExternalClasses();
  FillPluginEntryPoints();
  startedApp = std::make_shared<CountingApp>();
  startedApp->x_SetVersionData(1, 0, 0, 0, 3, "KAVREN", "0.9", "");
  RuntimeRegisterAppObject(startedApp);
  lateStartupRan = false;
  RunFrameworkInitialization(&LateStartupWithAWindow);
  RuntimeRun();  // with the seams on it returns at once
  RuntimeFinalizers();

  EXPECT_EQ(TestSeams::RuntimeTrace(),
            (std::vector<std::string>{"RuntimeInitialization", "RuntimeStaticInitializers", "RuntimeSetExceptionHelper",
                                      "RuntimeDeclareFrameworkRelease", "SetSupportsHiDPI", "InitExternalClasses",
                                      "FillPluginEntryPoints", "x_SetVersionData", "RuntimeRegisterAppObject",
                                      "RunFrameworkInitialization", "Event_Open", "Window First.First", "RuntimeRun",
                                      "RuntimeFinalizers"}));
  EXPECT_TRUE(Application::SupportsHiDPI());
  EXPECT_TRUE(lateStartupRan);
  EXPECT_EQ(startedApp->opens, 1);
  EXPECT_EQ(startedApp->ShortVersion(), "0.9");
  EXPECT_EQ(startedApp->StageCode(), 3);
  EXPECT_TRUE(GetImplicitWindow("First.First").IsNil()) << "the finalisers close the windows";
  EXPECT_EQ(RuntimeExitCode(), 0);
  startedApp.reset();
}

TEST_F(RuntimeTest, TheAppsOpenEventGoesThroughTheDispatchAndLateStartupsExceptionsReachTheCaller) {
  auto app = std::make_shared<CountingApp>();
  app->throwOnOpen = true;
  RuntimeRegisterAppObject(app);
  EXPECT_TRUE(GetAppObject() == Ref<Application>(app));
  EXPECT_THROW(RunFrameworkInitialization(&LateStartupThatThrows), UnsupportedOperationException);
  EXPECT_EQ(app->opens, 1);
  ASSERT_EQ(TestSeams::LogLines().size(), 1u);
  EXPECT_NE(TestSeams::LogLines()[0].find("OutOfBoundsException"), std::string::npos);
  TestSeams::Reset();
  EXPECT_TRUE(GetAppObject().IsNil());
}

TEST_F(RuntimeTest, AnUnhandledExceptionIsLoggedShownAndEndsWithANonZeroCode) {
  EXPECT_EQ(RuntimeExitCode(), 0);
  std::exception_ptr e;
  try {
    throw NilObjectException();
  } catch (...) {
    e = std::current_exception();
  }
  UnhandledException(e);
  ASSERT_EQ(TestSeams::LogLines().size(), 1u);
  EXPECT_NE(TestSeams::LogLines()[0].find("NilObjectException"), std::string::npos);
  ASSERT_EQ(TestSeams::MessageBoxes().size(), 1u);
  EXPECT_NE(TestSeams::MessageBoxes()[0].find("NilObjectException"), std::string::npos);
  EXPECT_EQ(RuntimeExitCode(), 1);
  RuntimeQuit(0);
  EXPECT_EQ(RuntimeExitCode(), 1) << "a later quit does not hide the failure";
}
}  // namespace
