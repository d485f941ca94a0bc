#!/usr/bin/env bash
# Makes the Debian package with cpack and checks it: it holds the installed
# layout under /usr and nothing else, only the program in usr/bin, a desktop
# entry that desktop-file-validate passes and whose program and icon are in
# the package, and dependencies read from the program's libraries.
#
# Usage: debian-package.sh <build folder> <application id> <work folder>
set -euo pipefail

readonly USAGE="usage: debian-package.sh <build folder> <application id> <work folder>"
build=${1:?$USAGE}
app_id=${2:?$USAGE}
work=${3:?$USAGE}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for tool in cmake cpack dpkg-deb dpkg-shlibdeps desktop-file-validate; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
rm -rf "$work"
mkdir -p "$work"

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 || fail "cpack failed: $(tail -n 5 "$work/cpack.log")"
packages=("$work"/out/*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || fail "cpack made ${#packages[@]} packages"
package=${packages[0]}

# The files of the package, as paths below usr/, against those of an install.
dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/package-files"
grep -v '^\./usr/' "$work/package-files" && fail "the package holds files outside /usr"
sed 's|^\./usr/||' "$work/package-files" >"$work/packaged"
cmake --install "$build" --prefix "$work/installed" >"$work/install.log" || fail "cmake --install failed"
(cd "$work/installed" && find . ! -type d | sed 's|^\./||' | sort) >"$work/installed-files"
diff "$work/installed-files" "$work/packaged" >"$work/layout.diff" ||
  fail "the package's files differ from the installed layout: $(cat "$work/layout.diff")"
[ "$(grep '^bin/' "$work/packaged")" = "bin/pixelmoth" ] ||
  fail "usr/bin holds more than the program: $(grep '^bin/' "$work/packaged" | xargs)"

dpkg-deb -x "$package" "$work/root"
entry="$work/root/usr/share/applications/$app_id.desktop"
[ -f "$entry" ] || fail "no desktop entry $app_id.desktop"
findings=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $findings"
[ -z "$findings" ] || fail "desktop-file-validate: $findings"
exec_program=$(sed -n 's/^Exec=//p' "$entry")
[ -x "$work/root/usr/bin/$exec_program" ] || fail "the entry starts '$exec_program', which is not in usr/bin"
icon=$(sed -n 's/^Icon=//p' "$entry")
ls "$work/root/usr/share/icons/hicolor/"*/apps/"$icon".png >/dev/null 2>&1 ||
  fail "the entry's icon '$icon' is not in the package's icon theme"

depends=$(dpkg-deb -f "$package" Depends)
for library in libc6 libqt6widgets6; do
  grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$package" Section)" = graphics ] || fail "the package's section is not graphics"
echo "PASS"
