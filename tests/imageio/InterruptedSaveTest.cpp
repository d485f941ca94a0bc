// A save that stops part-way, cut off by the framework's seam or by a disk
// that fills up: the file already there keeps every byte, nothing is left
// beside it, and the person is told. Whoever runs the tests, root included.

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/MainWindow.h"
#include "framework/TestSeams.h"
#include "tests/imageio/ImageIoTest.h"
#include "tests/support/Texts.h"

namespace {

// Files this process writes cannot grow past `bytes` while it lives, as on a
// full disk: a write beyond fails instead of ending the process. Lowering
// the limit needs no privilege.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &previous_), 0);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous_;
    limited.rlim_cur = std::min(bytes, previous_.rlim_max);
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

class InterruptedSaveTest : public ImageIoTest {
 protected:
  void SetUp() override {
    ImageIoTest::SetUp();
    std::filesystem::create_directory(files.Path("out"));
    // The earlier work: another picture, saved where the next save goes.
    Drop(PhotoLikePicture(300, 200, 11), nullptr);
    SaveThroughDialog(MakeRef<FolderItem>(target));
    earlier = ReadBytes(target);
    // What the next save writes when nothing stops it.
    Drop(PhotoLikePicture(300, 200, 12), nullptr);
    SaveThroughDialog(files.File("whole.jpeg"));
    whole = ReadBytes(files.Path("whole.jpeg"));
    ASSERT_TRUE(IsJpegData(earlier));
    ASSERT_TRUE(IsJpegData(whole));
    ASSERT_NE(earlier, whole);
    TestSeams::ClearMessageBoxes();
  }

  // Saves over target, or into a new file of the same folder when `over` is
  // false, and checks that the folder is left as it was and the person told.
  void ExpectFailedSaveChangesNothing(bool over) {
    TestSeams::ClearMessageBoxes();
    TestSeams::ClearLog();
    SaveThroughDialog(MakeRef<FolderItem>(over ? target : files.Path("out/new.jpeg")));
    EXPECT_EQ(ReadBytes(target), earlier);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(files.Path("out")))
      left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"picture.jpeg"}) << "no temporary or half-written file";
    EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kNotSaved});
    // The rest of the save still runs: the canvas is restored.
    EXPECT_EQ(TestSeams::LogLines(), texts::kExportLogLines);
  }

  const std::string target = files.Path("out/picture.jpeg");
  Bytes earlier;
  Bytes whole;
};

TEST_F(InterruptedSaveTest, CutOffAtAnyPoint) {
  const std::int64_t size = static_cast<std::int64_t>(whole.size());
  for (const std::int64_t cutAt : {std::int64_t{0}, std::int64_t{1}, size / 2, size - 1}) {
    for (const bool over : {true, false}) {
      SCOPED_TRACE("cut off after " + std::to_string(cutAt) + " bytes, " + (over ? "over the file" : "a new file"));
      TestSeams::FailSaveWritesAfter(cutAt);
      ExpectFailedSaveChangesNothing(over);
      TestSeams::FailSaveWritesAfter(-1);
    }
  }

  // With the room back, the same save replaces the file whole.
  SaveThroughDialog(MakeRef<FolderItem>(target));
  EXPECT_EQ(ReadBytes(target), whole);
}

TEST_F(InterruptedSaveTest, DiskFullHalfWay) {
  for (const bool over : {true, false}) {
    SCOPED_TRACE(over ? "over the file" : "a new file");
    FileSizeLimit full(whole.size() / 2);
    ExpectFailedSaveChangesNothing(over);
  }
}

}  // namespace
