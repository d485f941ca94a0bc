// The splash window and its hand-over to the main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "editor/MainWindow.h"
#include "framework/Application.h"
#include "framework/TestSeams.h"
#include "shell/NamedPictures.h"
#include "shell/SplashScreen.h"

namespace {

class SplashScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestSeams::Reset();
    FillPluginEntryPoints();  // the main window's BevelButtons
  }
  void TearDown() override { TestSeams::Reset(); }
};

bool Flag(const Window& w, const char* name) { return std::get<bool>(*FindProperty(w.Properties(), name)); }

long Count(const std::vector<std::string>& lines, const std::string& line) {
  return std::count(lines.begin(), lines.end(), line);
}

TEST_F(SplashScreenTest, ShownAtOnceAt600x400WithTheSplashPicture) {
  Ref<class SplashScreen> s = SplashScreen();
  EXPECT_TRUE(s->IsOpen());
  EXPECT_TRUE(s->Visible());
  EXPECT_EQ(s->Width(), 600);
  EXPECT_EQ(s->Height(), 400);
  EXPECT_TRUE(s->Backdrop());
  EXPECT_EQ(s->Backdrop(), splash());
}

// A fixed window without title-bar buttons; nothing but the timer on it.
TEST_F(SplashScreenTest, FixedSizeWithoutTitleBarButtons) {
  Ref<class SplashScreen> s = SplashScreen();
  for (const char* name : {"Resizeable", "CloseButton", "MinimizeButton", "MaximizeButton", "FullScreenButton"})
    EXPECT_FALSE(Flag(*s, name)) << name;
  // What the toolkit was told.
  const TestSeams::NativeWindow n = TestSeams::Native(*s);
  EXPECT_TRUE(n.shown);
  EXPECT_FALSE(n.titleBar);
  EXPECT_FALSE(n.closeButton || n.minimizeButton || n.maximizeButton);
  EXPECT_TRUE(n.fixedSize);
  EXPECT_EQ(n.width, 600);
  EXPECT_EQ(n.height, 400);
  ASSERT_EQ(s->Controls().size(), 1u);
  EXPECT_EQ(s->Timer1()->Period(), 3000);
  EXPECT_EQ(s->Timer1()->Mode(), 2);
}

TEST_F(SplashScreenTest, OneSplashWindowWhileItIsOpen) {
  Ref<class SplashScreen> first = SplashScreen();
  EXPECT_EQ(SplashScreen(), first);
  EXPECT_EQ(Count(TestSeams::RuntimeTrace(), "Window SplashScreen.SplashScreen"), 1);
}

TEST_F(SplashScreenTest, TimerShowsTheMainWindowAndClosesTheSplash) {
  Ref<class SplashScreen> s = SplashScreen();
  EXPECT_FALSE(GetImplicitWindow(MainWindow::kClassName));
  TestSeams::FireTimer(*s->Timer1());
  Ref<Window> main = GetImplicitWindow(MainWindow::kClassName);
  ASSERT_TRUE(main);
  EXPECT_TRUE(main->Visible());
  EXPECT_FALSE(s->IsOpen());
  EXPECT_FALSE(s->Visible());
  EXPECT_FALSE(GetImplicitWindow(SplashScreen::kClassName));
}

// The timer repeats, but closing the splash stopped it; even a firing forced
// on it later builds no second main window and brings no splash back.
TEST_F(SplashScreenTest, HandOverHappensOnce) {
  Ref<class SplashScreen> s = SplashScreen();
  Ref<Timer> timer = s->Timer1();
  EXPECT_TRUE(TestSeams::TimerRunning(*timer));
  TestSeams::FireTimer(*timer);
  EXPECT_FALSE(TestSeams::TimerRunning(*timer));
  Ref<Window> main = GetImplicitWindow(MainWindow::kClassName);
  TestSeams::FireTimer(*timer);
  EXPECT_EQ(GetImplicitWindow(MainWindow::kClassName), main);
  EXPECT_FALSE(GetImplicitWindow(SplashScreen::kClassName));
  EXPECT_EQ(Count(TestSeams::RuntimeTrace(), "Window MainWindow.MainWindow"), 1);
}

// A window built again later gets the picture opened the first time.
TEST_F(SplashScreenTest, ABuiltAgainSplashReusesThePicture) {
  Ref<class SplashScreen> first = SplashScreen();
  const Ref<Picture> backdrop = first->Backdrop();
  const int opens = TestSeams::OpenFromAppCount("splash");
  first->Close();
  Ref<class SplashScreen> second = SplashScreen();
  EXPECT_NE(second, first);
  EXPECT_EQ(second->Backdrop(), backdrop);
  EXPECT_EQ(TestSeams::OpenFromAppCount("splash"), opens);
}

}  // namespace
