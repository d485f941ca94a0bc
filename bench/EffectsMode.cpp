#include <cstdio>

#include "bench/Modes.h"

int RunEffectsMode(const Arguments&) {
  std::fprintf(stderr, "not built yet\n");
  return 1;
}
