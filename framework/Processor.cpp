#include "framework/Processor.h"

namespace Processor {

// Feature by feature: not every compiler knows the level "x86-64-v4" by name.
bool HasAvx512() noexcept {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2");
  }();
  return has;
}

bool HasAvx2() noexcept {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

}  // namespace Processor
