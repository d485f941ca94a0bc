// Keyboard, mouse, cursors, dialogs, message boxes and files.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/System.h"
#include "framework/TestSeams.h"
#include "tests/framework/UiFixtures.h"

namespace {
using InputTest = UiTest;
using Keyboard::kEqualsKey;
using Keyboard::kMinusKey;

TEST_F(InputTest, HeldKeysComeFromTheSeam) {
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey));
  TestSeams::SetKeyDown(kMinusKey, true);
  EXPECT_TRUE(Keyboard::AsyncKeyDown(kMinusKey));
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kEqualsKey));
  TestSeams::SetKeyDown(12, true);
  EXPECT_FALSE(Keyboard::AsyncKeyDown(12)) << "only the two zoom keys are tracked";
  TestSeams::Reset();
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey));
}

TEST_F(InputTest, PhysicalKeysAreTrackedUntilReleasedOrTheApplicationIsLeft) {
  TestSeams::PhysicalKey(kEqualsKey, true);
  EXPECT_TRUE(Keyboard::AsyncKeyDown(kEqualsKey));
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey));
  TestSeams::PhysicalKey(kEqualsKey, false, true);
  EXPECT_TRUE(Keyboard::AsyncKeyDown(kEqualsKey)) << "auto-repeat is no release";
  TestSeams::PhysicalKey(kEqualsKey, false);
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kEqualsKey));

  TestSeams::PhysicalKey(kMinusKey, true);
  TestSeams::DeactivateApplication();
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey)) << "its release would never arrive";
}

// The codes name key positions, whatever characters the layout puts there.
TEST_F(InputTest, TheZoomKeysAreKeyPositionsNotCharacters) {
  const struct {
    const char* what;
    std::uint32_t xkbKeyCode;
    const char* character;
    bool minus, equals;
  } cases[] = {
      {"US minus", 20, "-", true, false},
      {"US equals", 21, "=", false, true},
      {"German: the minus position gives sharp s", 20, "\xc3\x9f", true, false},
      {"German: the equals position gives an acute accent", 21, "\xc2\xb4", false, true},
      {"German: minus sits on another key", 61, "-", false, false},
      {"keypad minus", 82, "-", false, false},
      {"a letter", 38, "a", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestSeams::LayoutKey(c.xkbKeyCode, c.character, true);
    EXPECT_EQ(Keyboard::AsyncKeyDown(kMinusKey), c.minus);
    EXPECT_EQ(Keyboard::AsyncKeyDown(kEqualsKey), c.equals);
    TestSeams::LayoutKey(c.xkbKeyCode, c.character, false);
    EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey));
    EXPECT_FALSE(Keyboard::AsyncKeyDown(kEqualsKey));
  }
}

// Keys typed into a dialog are the dialog's: the window behind it sees no key
// held while it is open, and none that was pressed in it.
TEST_F(InputTest, KeysCountAsUpWhileADialogIsOpenAndAKeyPressedThereNeverCounts) {
  const struct {
    const char* what;
    std::function<void()> open;
  } dialogs[] = {
      {"message box", [] { MsgBox("Please, apply or cancel effect before saving."); }},
      {"open dialog", [] { OpenDialog().ShowModal(); }},
      {"save dialog", [] { GetSaveFolderItem("image/jpeg,png", "myPicture.jpeg"); }},
  };
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.what);
    TestSeams::PhysicalKey(kMinusKey, true);
    bool opened = false;
    TestSeams::InsideNextDialog([&] {
      opened = true;
      EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey));
      TestSeams::PhysicalKey(kEqualsKey, true);  // typed into the dialog
      EXPECT_FALSE(Keyboard::AsyncKeyDown(kEqualsKey));
    });
    d.open();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(Keyboard::AsyncKeyDown(kMinusKey)) << "held from before the dialog";
    EXPECT_FALSE(Keyboard::AsyncKeyDown(kEqualsKey)) << "pressed in the dialog";
    TestSeams::PhysicalKey(kMinusKey, false);
    TestSeams::PhysicalKey(kEqualsKey, false);
  }
}

TEST_F(InputTest, AKeyPressedInADialogCountsOnceReleasedAndPressedAgain) {
  TestSeams::InsideNextDialog([] { TestSeams::PhysicalKey(kMinusKey, true); });
  GetSaveFolderItem("image/jpeg,png", "myPicture.jpeg");
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey)) << "still held from the dialog";
  TestSeams::PhysicalKey(kMinusKey, false);
  TestSeams::PhysicalKey(kMinusKey, true);
  EXPECT_TRUE(Keyboard::AsyncKeyDown(kMinusKey));
}

TEST_F(InputTest, KeysCountAsUpWhileATextFieldHasTheKeyboard) {
  TestSeams::PhysicalKey(kEqualsKey, true);
  bool ran = false;
  TestSeams::WithTextFieldFocused([&] {
    ran = true;
    EXPECT_FALSE(Keyboard::AsyncKeyDown(kEqualsKey));
    TestSeams::PhysicalKey(kMinusKey, true);
  });
  ASSERT_TRUE(ran);
  EXPECT_TRUE(Keyboard::AsyncKeyDown(kEqualsKey));
  EXPECT_FALSE(Keyboard::AsyncKeyDown(kMinusKey)) << "pressed in the text field";
}

TEST_F(InputTest, MousePositionAndCursors) {
  TestSeams::SetMousePosition(321, -7);
  EXPECT_EQ(System::MouseX(), 321);
  EXPECT_EQ(System::MouseY(), -7);
  auto w = BuildWindow({P("Width", 300), P("Height", 200)}, [](ScratchWindow& self) {
    self.Add<Canvas>("Area", "Canvas", Place(0, 0, 100, 100));
  });
  Ref<Canvas> c = w->ControlAs<Canvas>("Area");
  EXPECT_EQ(c->MouseCursor().id, 0);
  c->SetMouseCursor(System::Cursors::HandOpen);
  EXPECT_TRUE(c->MouseCursor() == System::Cursors::HandOpen);
  c->SetMouseCursor(System::Cursors::StandardPointer);
  EXPECT_TRUE(c->MouseCursor() == System::Cursors::StandardPointer);
}

TEST_F(InputTest, TheDeveloperLogWritesOneLineToStandardErrorPerCall) {
  TestSeams::CaptureLog(false);
  testing::internal::CaptureStderr();
  System::DebugLog("zoom in");
  System::DebugLog("Unhandled exception: two\nlines\r\nand a " + std::string(1, '\0') + " byte");
  System::DebugLog("");
  const std::string written = testing::internal::GetCapturedStderr();
  TestSeams::CaptureLog(true);
  EXPECT_EQ(written, "zoom in\nUnhandled exception: two lines  and a   byte\n\n");

  System::DebugLog("a\nb");
  EXPECT_EQ(TestSeams::LogLines(), std::vector<std::string>{"a b"});
}

TEST_F(InputTest, DialogsAndMessageBoxesAreAnsweredWithoutBeingShown) {
  OpenDialog open;
  EXPECT_TRUE(open.ShowModal().IsNil()) << "an empty queue cancels";
  auto chosen = MakeRef<FolderItem>("/tmp/some/picture.png");
  TestSeams::QueueOpenDialogAnswer(chosen);
  EXPECT_TRUE(open.ShowModal() == chosen);
  EXPECT_EQ(TestSeams::OpenDialogCount(), 2);

  auto target = MakeRef<FolderItem>("/tmp/out");
  TestSeams::QueueSaveDialogAnswer(target);
  EXPECT_TRUE(GetSaveFolderItem("image/jpeg,png", "myPicture.jpeg") == target);
  EXPECT_TRUE(GetSaveFolderItem("image/jpeg,png", "again.jpeg").IsNil());
  const auto requests = TestSeams::SaveDialogRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].filter, "image/jpeg,png");
  EXPECT_EQ(requests[0].defaultName, "myPicture.jpeg");

  MsgBox("first");
  MsgBox("second");
  EXPECT_EQ(TestSeams::MessageBoxes(), (std::vector<std::string>{"first", "second"}));
}

TEST_F(InputTest, FolderItemsNameAndDescribeTheirFile) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pixelmoth-folder-item";
  std::filesystem::create_directories(dir);
  const FolderItem folder(dir.string() + "/");
  EXPECT_EQ(folder.DisplayName(), "pixelmoth-folder-item");
  EXPECT_TRUE(folder.Exists());
  EXPECT_TRUE(folder.IsFolder());
  const FolderItem missing((dir / "Mothwick - claims.png").string());
  EXPECT_EQ(missing.DisplayName(), "Mothwick - claims.png");
  EXPECT_FALSE(missing.Exists());
  EXPECT_FALSE(missing.IsFolder());
  std::filesystem::remove_all(dir);
}
}  // namespace
