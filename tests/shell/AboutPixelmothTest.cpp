// The about window, opened by the about button of the main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TestSeams.h"
#include "framework/Window.h"
#include "shell/AboutPixelmoth.h"
#include "tests/support/Fixtures.h"

namespace {

class AboutTest : public EditorTest {
 protected:
  void PressAbout() { w->ButtonAbout()->Action.Raise(*w->ButtonAbout()); }
  static Ref<Window> LiveAbout() { return GetImplicitWindow(AboutPixelmoth::kClassName); }
};

std::int64_t Int(const Control& c, const char* name) { return std::get<std::int64_t>(*c.Property(name)); }

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + separator.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

std::size_t Occurrences(const std::string& text, const std::string& word) {
  return Split(text, word).size() - 1;
}

TEST_F(AboutTest, TwoPressesLeaveOneWindow) {
  PressAbout();
  Ref<Window> first = LiveAbout();
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->Visible());
  PressAbout();
  EXPECT_EQ(LiveAbout(), first);
  EXPECT_TRUE(first->Visible());
}

TEST_F(AboutTest, ClosedAndPressedAgainBuildsAFreshOneWithTheSameContent) {
  PressAbout();
  Ref<class AboutPixelmoth> first = AboutPixelmoth();
  const std::string description = first->Label1()->Text();
  first->Close();
  EXPECT_FALSE(LiveAbout());
  PressAbout();
  Ref<class AboutPixelmoth> second = AboutPixelmoth();
  EXPECT_NE(second, first);
  EXPECT_TRUE(second->Visible());
  EXPECT_EQ(second->Label1()->Text(), description);
  EXPECT_EQ(second->Label2()->Text(), first->Label2()->Text());
}

// The editor stays usable beside it, and closing the editor is not held up
// by it.
TEST_F(AboutTest, ModelessAndNotKeepingTheApplicationRunning) {
  PressAbout();
  EXPECT_TRUE(w->IsOpen());
  EXPECT_TRUE(w->Visible());
  EXPECT_FALSE(LiveAbout()->QuitOnClose());
  EXPECT_TRUE(w->QuitOnClose());
}

TEST_F(AboutTest, ResizableButNotBelow600x400) {
  PressAbout();
  Ref<Window> about = LiveAbout();
  const TestSeams::NativeWindow n = TestSeams::Native(*about);
  EXPECT_TRUE(n.titleBar);
  EXPECT_TRUE(n.closeButton);
  EXPECT_TRUE(n.minimizeButton);
  EXPECT_FALSE(n.maximizeButton);
  EXPECT_FALSE(n.fixedSize);
  EXPECT_EQ(n.minWidth, 600);
  EXPECT_EQ(n.minHeight, 400);
  EXPECT_EQ(about->Width(), 600);
  EXPECT_EQ(about->Height(), 400);
  EXPECT_EQ(about->MinWidth(), 600);
  EXPECT_EQ(about->MinHeight(), 400);
  about->SetWidth(300);
  about->SetHeight(200);
  EXPECT_EQ(about->Width(), 600);
  EXPECT_EQ(about->Height(), 400);
}

// The description grows with the window; the notice stays 20 pixels above
// the bottom edge, stretched across.
TEST_F(AboutTest, LabelsFollowTheirLocks) {
  PressAbout();
  Ref<class AboutPixelmoth> about = AboutPixelmoth();
  about->SetWidth(800);
  about->SetHeight(600);
  struct Expected {
    Ref<Label> label;
    std::int64_t left, top, width, height;
  } rows[] = {{about->Label1(), 20, 20, 760, 528}, {about->Label2(), 20, 560, 760, 20}};
  for (const Expected& e : rows) {
    SCOPED_TRACE(e.label->Name());
    EXPECT_EQ(e.label->Left(), e.left);
    EXPECT_EQ(e.label->Top(), e.top);
    EXPECT_EQ(e.label->Width(), e.width);
    EXPECT_EQ(e.label->Height(), e.height);
  }
}

TEST_F(AboutTest, DescriptionInThreeParagraphs) {
  PressAbout();
  const std::string text = AboutPixelmoth()->Label1()->Text();
  const std::vector<std::string> paragraphs = Split(text, "\r\r");
  ASSERT_EQ(paragraphs.size(), 3u);
  for (const std::string& p : paragraphs) {
    EXPECT_FALSE(p.empty());
    EXPECT_EQ(p.find_first_of("\r\n"), std::string::npos);
  }
  EXPECT_EQ(Occurrences(text, "Pixelmoth"), 2u);
  for (const char* fact : {"100", "6000", "JPEG"}) EXPECT_NE(paragraphs[0].find(fact), std::string::npos) << fact;
  EXPECT_NE(paragraphs[1].find("uperglitch"), std::string::npos);
  EXPECT_NE(paragraphs[1].find("Cancel"), std::string::npos);
  EXPECT_NE(paragraphs[2].find("script"), std::string::npos);
}

TEST_F(AboutTest, NoticeIsOneLineWithTheNameAndVersion) {
  PressAbout();
  Ref<class AboutPixelmoth> about = AboutPixelmoth();
  const std::string notice = about->Label2()->Text();
  EXPECT_EQ(notice.find_first_of("\r\n"), std::string::npos);
  EXPECT_NE(notice.find("Pixelmoth"), std::string::npos);
  EXPECT_NE(notice.find("0.9"), std::string::npos);
  EXPECT_NE(Int(*about->Label1(), "TextAlign"), Int(*about->Label2(), "TextAlign"));
  EXPECT_NE(TestSeams::Native(*about->Label1()).alignment, TestSeams::Native(*about->Label2()).alignment);
}

}  // namespace
