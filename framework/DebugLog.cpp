#include <cstdio>
#include <string>
#include <utility>
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

void System::DebugLog(const std::string& text) {
  // Always exactly one line: a break inside the text (an exception's message,
  // a file name) would split it, and a NUL byte would cut it short.
  std::string line = text;
  for (char& c : line) {
    if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  }
  Log& log = TheLog();
  if (log.captured) {
    log.lines.push_back(std::move(line));
    return;
  }
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
}

void TestSeams::CaptureLog(bool on) { TheLog().captured = on; }
std::vector<std::string> TestSeams::LogLines() { return TheLog().lines; }
void TestSeams::ClearLog() { TheLog().lines.clear(); }
