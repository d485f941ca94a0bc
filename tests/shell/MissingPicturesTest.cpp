// Without the artwork: every named picture is nil, is asked for again on each
// call, and the windows are built all the same.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/MainWindow.h"
#include "framework/Application.h"
#include "framework/TestSeams.h"
#include "shell/SplashScreen.h"
#include "tests/shell/NamedPictureTable.h"

namespace {

class MissingPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestSeams::Reset();
    FillPluginEntryPoints();
    const std::filesystem::path empty = std::filesystem::path(::testing::TempDir()) / "pixelmoth-no-pictures";
    std::filesystem::create_directories(empty);
    TestSeams::SetResourceFolder(empty.string());
  }
  void TearDown() override { TestSeams::Reset(); }
};

TEST_F(MissingPicturesTest, NilOnEveryCallAndAskedForAgain) {
  for (const NamedPicture& row : kNamedPictures) {
    SCOPED_TRACE(row.name);
    const int before = TestSeams::OpenFromAppCount(row.name);
    EXPECT_FALSE(row.accessor());
    EXPECT_FALSE(row.accessor());
    EXPECT_EQ(TestSeams::OpenFromAppCount(row.name), before + 2);
  }
}

TEST_F(MissingPicturesTest, SplashShowsItsBackColourAndHandsOver) {
  Ref<class SplashScreen> s = SplashScreen();
  EXPECT_TRUE(s->Visible());
  EXPECT_FALSE(s->Backdrop());
  TestSeams::FireTimer(*s->Timer1());
  Ref<Window> main = GetImplicitWindow(MainWindow::kClassName);
  ASSERT_TRUE(main);
  EXPECT_TRUE(main->Visible());
  EXPECT_FALSE(s->IsOpen());
}

TEST_F(MissingPicturesTest, MainWindowGetsItsButtonsWithoutIcons) {
  Ref<class MainWindow> w = MainWindow();
  int buttons = 0;
  for (const std::shared_ptr<Control>& c : w->Controls()) {
    if (auto* b = dynamic_cast<BevelButton*>(c.get())) {
      ++buttons;
      EXPECT_FALSE(b->Icon()) << b->Name();
    }
  }
  EXPECT_EQ(buttons, 15);
}

}  // namespace
