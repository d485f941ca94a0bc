# Shared by the run and test commands: installing what is missing, and
# configuring and building a build folder.

set -euo pipefail

PIXELMOTH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The libraries the editor links, as Debian development packages: the native
# build takes them as they are, the aarch64 build with the suffix :arm64.
LINKED_LIBRARIES=(qt6-base-dev libjpeg62-turbo-dev libhwy-dev libheif-dev)

# The Debian packages the editor needs to build and run.
BUILD_PACKAGES=(g++ cmake ninja-build qt6-image-formats-plugins "${LINKED_LIBRARIES[@]}")

# clang with libFuzzer, for the fuzz targets; LLVM's symbolizer, through
# which the sanitizers name the functions in their reports (without it a
# suppression by function name in lsan-suppressions.txt matches nothing).
FUZZ_PACKAGES=(clang libclang-rt-14-dev llvm-14)
SYMBOLIZER=/usr/lib/llvm-14/bin/llvm-symbolizer

# Those the tests need: GoogleTest; a private X server, input, screenshots
# and window properties for the end-to-end runs; the Debian package's tools
# (dpkg-shlibdeps reads the program with file) and desktop entry checker;
# the fuzz targets' compiler; the locale sources, from which a test compiles
# a locale with a decimal comma.
TEST_PACKAGES=(libgtest-dev xvfb xdotool imagemagick x11-utils dpkg-dev file desktop-file-utils
  "${FUZZ_PACKAGES[@]}" locales)

# Those the aarch64 build needs: the host's build tools and Qt (its moc),
# the cross compiler, user-mode emulation, the arm64 libraries and GoogleTest.
ARM64_PACKAGES=(cmake ninja-build qt6-base-dev g++-aarch64-linux-gnu qemu-user-static
  "${LINKED_LIBRARIES[@]/%/:arm64}" libgtest-dev:arm64)

# Installs the packages that are missing: as root with apt-get (after an
# update); otherwise prints the one line to run and stops.
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages. Run:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

# configure_build <folder> [cmake options...]: configures once, then only
# when the options change; the build itself is incremental.
configure_build() {
  local dir=$1
  shift
  local wanted="$*"
  local stamp="$dir/.pixelmoth-options"
  if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
    cmake -S "$PIXELMOTH_ROOT" -B "$dir" -G Ninja "$@"
    echo "$wanted" > "$stamp"
  fi
}
