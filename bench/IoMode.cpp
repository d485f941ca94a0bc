// pixelmoth-bench io [--work DIR]: loading and saving a 6000 x 6000
// photo-like JPEG through the framework's Picture::Open and Picture::Save
// (quality 100, 4:4:4), next to libjpeg-turbo's djpeg and cjpeg -quality 100
// -sample 1x1 on the same file in the same run.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/BenchSupport.h"
#include "bench/Modes.h"
#include "framework/Dialogs.h"
#include "framework/Picture.h"
#include "framework/TestSeams.h"

extern char** environ;

namespace {

constexpr std::int64_t kSide = 6000;
constexpr int kRuns = 5;

bool OnPath(const std::string& tool) {
  const char* path = std::getenv("PATH");
  const std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t from = 0; from <= dirs.size();) {
    const std::size_t to = std::min(dirs.find(':', from), dirs.size());
    if (access((dirs.substr(from, to - from) + "/" + tool).c_str(), X_OK) == 0) return true;
    from = to + 1;
  }
  return false;
}

// Runs a command given as words with its standard output thrown away; true
// when it exits with 0.
bool Run(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The median time of kRuns runs of work, each after an untimed prepare, or
// "failed" when a run failed.
std::string Timed(const std::function<bool()>& work, const std::function<void()>& prepare = {}) {
  bool ok = true;
  const double ms = Bench::MedianMilliseconds(kRuns, [&] { ok = work() && ok; }, prepare);
  return ok ? Bench::Fixed(ms, 1) : "failed";
}

std::string ToolTimed(const std::vector<std::string>& command, bool inputReady) {
  if (!OnPath(command[0])) {
    std::fprintf(stderr, "pixelmoth-bench io: %s is not installed (Debian package libjpeg-turbo-progs); going on\n",
                 command[0].c_str());
    return "not installed";
  }
  if (!inputReady) return "no input";
  return Timed([&] { return Run(command); });
}

}  // namespace

int RunIoMode(const Arguments& args) {
  Bench::Options options;
  const std::string error = options.Parse(args, {"--work"}, {});
  if (!error.empty()) return Bench::Fail("io", error);
  if (!options.Positional().empty()) return Bench::Fail("io", "unexpected " + options.Positional().front());
  const Bench::WorkFolder folder("pixelmoth-bench-io", options.Value("--work"));
  const std::string& work = folder.Path();
  if (work.empty()) return Bench::Fail("io", "cannot make a work folder");
  TestSeams::InitHeadless();

  const std::string photo = work + "/photo.jpg";
  const std::string ppm = work + "/photo.ppm";
  const std::string saved = work + "/saved.jpg";
  const std::string cjpegOut = work + "/cjpeg.jpg";
  if (!Bench::PhotoLikePicture(kSide, kSide)->Save(FolderItem(photo), Picture::SaveAsJPEG, 100)) {
    return Bench::Fail("io", "cannot write " + photo);
  }

  // The picture of the run before is released untimed: a load is timed alone.
  Ref<Picture> loaded;
  const std::string load = Timed(
      [&] {
        loaded = Picture::Open(FolderItem(photo));
        return !loaded.IsNil() && loaded->IsDecoded();
      },
      [&] { loaded = nullptr; });
  const std::string save =
      loaded ? Timed([&] { return loaded->Save(FolderItem(saved), Picture::SaveAsJPEG, 100); }) : "failed";
  loaded = nullptr;
  // cjpeg reads the same picture, decoded once by djpeg, untimed.
  const bool ppmReady = OnPath("djpeg") && Run({"djpeg", "-outfile", ppm, photo});

  const std::string size = std::to_string(kSide) + "x" + std::to_string(kSide);
  Bench::PrintRow({"task", "pixelmoth ms", "tool", "tool ms", "runs"});
  Bench::PrintRow({"load " + size + " JPEG", load, "djpeg",
                   ToolTimed({"djpeg", "-outfile", "/dev/null", photo}, true), std::to_string(kRuns)});
  Bench::PrintRow({"save " + size + " JPEG q100 4:4:4", save, "cjpeg -quality 100 -sample 1x1",
                   ToolTimed({"cjpeg", "-quality", "100", "-sample", "1x1", "-outfile", cjpegOut, ppm}, ppmReady),
                   std::to_string(kRuns)});

  std::error_code ignored;
  if (!folder.Own()) {
    for (const std::string& f : {ppm, saved, cjpegOut}) std::filesystem::remove(f, ignored);
  }
  TestSeams::Reset();
  return 0;
}
