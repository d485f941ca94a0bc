#include "bench/BenchSupport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace Bench {

namespace {

int ClampByte(double x) { return static_cast<int>(x < 0 ? 0 : (x > 255 ? 255 : x)); }

// One pixel of the gradient: the hue turns with x and y, the brightness
// falls towards the bottom.
void Gradient(double u, double v, double& r, double& g, double& b) {
  const double turn = 6.2831853 * (0.8 * u + 0.45 * v);
  const double light = 200.0 - 120.0 * v;
  r = light * (0.55 + 0.45 * std::cos(turn));
  g = light * (0.55 + 0.45 * std::cos(turn - 2.094));
  b = light * (0.55 + 0.45 * std::cos(turn + 2.094));
}

}  // namespace

Ref<Picture> PhotoLikePicture(std::int64_t width, std::int64_t height, std::uint32_t seed) {
  auto picture = MakeRef<Picture>(width, height);
  RGBSurface surface = picture->RGBSurface();
  std::uint64_t state = 0x9E3779B97F4A7C15ull * (seed + 1);
  for (std::int64_t y = 0; y < height; ++y) {
    const double v = static_cast<double>(y) / static_cast<double>(height);
    for (std::int64_t x = 0; x < width; ++x) {
      const double u = static_cast<double>(x) / static_cast<double>(width);
      double r, g, b;
      Gradient(u, v, r, g, b);
      const std::int64_t patch = (x / 97) * 31 + (y / 89) * 17;
      if (patch % 7 == 0) r = g = b = 40 + (patch % 5) * 45;        // grey patches
      if (patch % 11 == 0) r *= 0.15, g *= 0.15, b *= 0.15;          // shadows
      if ((x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) < width * width / 36) {
        r = 235, g = 45, b = 25;                                     // a saturated disc
      }
      state ^= state << 13, state ^= state >> 7, state ^= state << 17;
      const double noise = static_cast<double>(static_cast<int>(state & 31) - 16);
      surface.SetPixel(x, y, RGB(ClampByte(r + noise), ClampByte(g + noise * 0.8), ClampByte(b + noise * 1.2)));
    }
  }
  return picture;
}

double MedianMilliseconds(int runs, const std::function<void()>& work, const std::function<void()>& prepare) {
  std::vector<double> times;
  for (int i = 0; i < std::max(runs, 1); ++i) {
    if (prepare) prepare();
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto stop = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::sort(times.begin(), times.end());
  const std::size_t n = times.size();
  return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
}

std::string Size::Text() const { return std::to_string(width) + "x" + std::to_string(height); }

std::optional<Size> ParseSize(const std::string& text) {
  const std::size_t cross = text.find('x');
  if (cross == std::string::npos) return std::nullopt;
  const auto w = ParseInteger(text.substr(0, cross)), h = ParseInteger(text.substr(cross + 1));
  if (!w || !h || *w < 1 || *h < 1) return std::nullopt;
  return Size{*w, *h};
}

namespace {
template <typename T>
std::optional<T> ParseWhole(const std::string& text) {
  T value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end) return std::nullopt;
  return value;
}
}  // namespace

std::optional<std::int64_t> ParseInteger(const std::string& text) { return ParseWhole<std::int64_t>(text); }
std::optional<std::uint64_t> ParseUnsigned(const std::string& text) { return ParseWhole<std::uint64_t>(text); }

std::optional<double> ParseDouble(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Options::Parse(const Arguments& args, const std::vector<std::string>& valued,
                           const std::vector<std::string>& flags) {
  auto known = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      positional_.push_back(arg);
    } else if (known(flags, arg)) {
      given_.emplace_back(arg, "");
    } else if (known(valued, arg)) {
      if (i + 1 >= args.size()) return arg + " needs a value";
      given_.emplace_back(arg, args[++i]);
    } else {
      return "unknown option " + arg;
    }
  }
  return "";
}

bool Options::Has(const std::string& name) const {
  return std::any_of(given_.begin(), given_.end(), [&](const auto& g) { return g.first == name; });
}

std::optional<std::string> Options::Value(const std::string& name) const {
  std::optional<std::string> last;
  for (const auto& [option, value] : given_)
    if (option == name) last = value;
  return last;
}

std::vector<std::string> Options::Values(const std::string& name) const {
  std::vector<std::string> all;
  for (const auto& [option, value] : given_)
    if (option == name) all.push_back(value);
  return all;
}

void PrintRow(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "\t" : "") + fields[i];
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string Fixed(double x, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, x);
  return text;
}

int Fail(const std::string& mode, const std::string& message) {
  std::fprintf(stderr, "pixelmoth-bench %s: %s\n", mode.c_str(), message.c_str());
  return kRefusedExitCode;
}

WorkFolder::WorkFolder(const std::string& prefix, const std::optional<std::string>& given) {
  if (given) {
    std::filesystem::create_directories(*given);
    path_ = *given;
    return;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) return;
  path_ = pattern;
  own_ = true;
}

WorkFolder::~WorkFolder() {
  std::error_code ignored;
  if (own_) std::filesystem::remove_all(path_, ignored);
}

}  // namespace Bench
