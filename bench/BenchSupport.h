#pragma once
// Shared by the benchmark's modes: test pictures, timing, arguments and the
// tab-separated output.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/Modes.h"
#include "framework/Picture.h"

namespace Bench {

// A photo-like picture of the given size: smooth gradients whose hue wanders
// over the whole circle, hard edges, grey and dark patches, and sensor-like
// noise, so that branchy colour code meets unpredictable sectors as in a
// real photo. Deterministic for a seed; opaque, with an alpha channel.
Ref<Picture> PhotoLikePicture(std::int64_t width, std::int64_t height, std::uint32_t seed = 1);

// The median of `runs` timings of `work`, in milliseconds. `prepare`, when
// given, runs untimed before each timing.
double MedianMilliseconds(int runs, const std::function<void()>& work,
                          const std::function<void()>& prepare = nullptr);

// "WxH" with both sides positive whole numbers.
struct Size {
  std::int64_t width;
  std::int64_t height;
  std::string Text() const;
};
std::optional<Size> ParseSize(const std::string& text);

// Whole numbers and decimals, the whole text or nothing.
std::optional<std::int64_t> ParseInteger(const std::string& text);
std::optional<std::uint64_t> ParseUnsigned(const std::string& text);
std::optional<double> ParseDouble(const std::string& text);

// Options of the form `--name value` or `--name` alone, and positional
// arguments. Parse names what the mode knows; anything else is an error.
class Options {
 public:
  // `valued` options take the next argument as their value and may repeat;
  // `flags` stand alone. Returns an error message, or empty when all is well.
  std::string Parse(const Arguments& args, const std::vector<std::string>& valued,
                    const std::vector<std::string>& flags);

  bool Has(const std::string& name) const;
  // The last value given for the option, if any.
  std::optional<std::string> Value(const std::string& name) const;
  // Every value given for the option, in order.
  std::vector<std::string> Values(const std::string& name) const;
  const std::vector<std::string>& Positional() const noexcept { return positional_; }

 private:
  std::vector<std::pair<std::string, std::string>> given_;
  std::vector<std::string> positional_;
};

// The folder for a run's files: the one given, or else one of the run's
// own in the system's temporary folder, named from `prefix`, removed with
// everything in it at the end. Path() is empty when it cannot be made.
class WorkFolder {
 public:
  explicit WorkFolder(const std::string& prefix, const std::optional<std::string>& given = std::nullopt);
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const std::string& Path() const noexcept { return path_; }
  // Whether the folder is the run's own.
  bool Own() const noexcept { return own_; }

 private:
  std::string path_;
  bool own_ = false;
};

// One line of tab-separated fields on standard output.
void PrintRow(const std::vector<std::string>& fields);
// A number with a fixed count of decimals.
std::string Fixed(double x, int decimals);

// An error line "pixelmoth-bench <mode>: <message>" on standard error;
// returns kRefusedExitCode.
int Fail(const std::string& mode, const std::string& message);

}  // namespace Bench
