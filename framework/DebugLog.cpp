#include <cstdio>
#include <string>
#include <vector>

#include "framework/System.h"
#include "framework/TestSeams.h"

namespace {
struct Log {
  bool captured = false;
  std::vector<std::string> lines;
};
Log& TheLog() {
  static Log log;
  return log;
}
}  // namespace

void System::DebugLog(const std::string& line) {
  Log& log = TheLog();
  if (log.captured) {
    log.lines.push_back(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

void TestSeams::CaptureLog(bool on) { TheLog().captured = on; }
std::vector<std::string> TestSeams::LogLines() { return TheLog().lines; }
void TestSeams::ClearLog() { TheLog().lines.clear(); }
