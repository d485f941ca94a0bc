#include <cstdio>

#include "bench/Modes.h"

int RunApplyMode(const Arguments&) {
  std::fprintf(stderr, "not built yet\n");
  return 1;
}
