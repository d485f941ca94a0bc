// pixelmoth-bench: speed figures for the effects, the view and image I/O,
// the editor's peak memory, and single effect runs for inspection.

#include <cstdio>
#include <cstring>

#include "bench/Modes.h"

namespace {
int Usage() {
  std::fprintf(stderr,
               "usage: pixelmoth-bench effects [--size WxH]... [--target NAME]\n"
               "       pixelmoth-bench apply --effect N --strength V --seed S --rnd-seed T\n"
               "                             [--zoom Z] [--same-picture] IN OUT\n"
               "       pixelmoth-bench paint\n"
               "       pixelmoth-bench io [--work DIR]\n"
               "       pixelmoth-bench memory\n"
               "exit status: 0 when done; %d when the mode, an argument or a file is\n"
               "refused, with the reason on standard error\n",
               kRefusedExitCode);
  return kRefusedExitCode;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const Arguments rest(argv + 2, argv + argc);
  if (std::strcmp(argv[1], "effects") == 0) return RunEffectsMode(rest);
  if (std::strcmp(argv[1], "apply") == 0) return RunApplyMode(rest);
  if (std::strcmp(argv[1], "paint") == 0) return RunPaintMode(rest);
  if (std::strcmp(argv[1], "io") == 0) return RunIoMode(rest);
  if (std::strcmp(argv[1], "memory") == 0) return RunMemoryMode(rest);
  return Usage();
}
