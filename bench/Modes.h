#pragma once
// The benchmark's modes; each takes the arguments after the mode's name and
// returns the process exit code.

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int RunEffectsMode(const Arguments& args);
int RunApplyMode(const Arguments& args);
int RunPaintMode(const Arguments& args);
int RunIoMode(const Arguments& args);
int RunMemoryMode(const Arguments& args);
