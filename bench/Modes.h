#pragma once
// The benchmark's modes; each takes the arguments after the mode's name and
// returns the process exit code.

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

// The exit code of a refusal (see the usage text): apart from a sanitizer's
// report (1) and a crash (128 and up), so that a script can tell them apart.
inline constexpr int kRefusedExitCode = 2;

int RunEffectsMode(const Arguments& args);
int RunApplyMode(const Arguments& args);
int RunPaintMode(const Arguments& args);
int RunIoMode(const Arguments& args);
int RunMemoryMode(const Arguments& args);
