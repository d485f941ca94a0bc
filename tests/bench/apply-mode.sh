#!/usr/bin/env bash
# pixelmoth-bench apply: what it refuses (the exit status its usage text
# gives, one line saying why, nothing written) and what one run leaves (the
# preview as a PNG, the effect's log lines on standard error).
#
# Usage: apply-mode.sh <pixelmoth-bench executable> <picture> <work folder>
set -uo pipefail

bench=${1:?usage: apply-mode.sh <pixelmoth-bench> <picture> <work folder>}
picture=${2:?usage: apply-mode.sh <pixelmoth-bench> <picture> <work folder>}
work=${3:?usage: apply-mode.sh <pixelmoth-bench> <picture> <work folder>}
rm -rf "$work" && mkdir -p "$work" || exit 1
out="$work/out.png"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The exit status of a refusal, as the usage text gives it: neither a
# sanitizer's report (1) nor a crash (128 and up) passes for one.
refused_status=2

# refused <message part> <arguments...>
refused() {
  local expected=$1
  shift
  rm -f "$out"
  "$bench" apply "$@" >"$work/stdout" 2>"$work/stderr"
  local status=$?
  [[ $status -eq $refused_status ]] || fail "exit $status, not $refused_status, for: $*"
  [[ $(wc -l <"$work/stderr") -eq 1 ]] && grep -q "^pixelmoth-bench apply: .*$expected" "$work/stderr" ||
    fail "not the one line '$expected' for: $*: $(head -c 500 "$work/stderr")"
  [[ ! -e $out ]] || fail "$out written for: $*"
}

seeds=(--seed 1 --rnd-seed 2)
refused "no such file" --effect 1 --strength 20 "${seeds[@]}" "$work/missing.png" "$out"
refused "no such file" --effect 1 --strength 20 "${seeds[@]}" "$work" "$out"
printf 'not a picture' >"$work/garbage.png"
refused "cannot read" --effect 1 --strength 20 "${seeds[@]}" "$work/garbage.png" "$out"
for effect in 0 13 -1 x 1.5; do
  refused "unknown effect" --effect "$effect" --strength 20 "${seeds[@]}" "$picture" "$out"
done
for strength in 0 101 -5 x 20.5; do
  refused "strength" --effect 1 --strength "$strength" "${seeds[@]}" "$picture" "$out"
done
refused "--effect is required" --strength 20 "${seeds[@]}" "$picture" "$out"
refused "input and the output" --effect 1 --strength 20 "${seeds[@]}" "$picture"

# ran <effect> <extra arguments...>: exit 0, a PNG written, the log kept.
ran() {
  local effect=$1
  shift
  rm -f "$out"
  "$bench" apply --effect "$effect" --strength 20 "${seeds[@]}" "$@" "$picture" "$out" \
    >"$work/stdout" 2>"$work/stderr" || fail "exit $? for effect $effect $*"
  [[ $(head -c 4 "$out" 2>/dev/null | od -An -c | tr -d ' ') == '211PNG' ]] || fail "no PNG for effect $effect $*"
}

ran 2
width=$(od -An -tu1 -j16 -N4 "$picture" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}')
[[ $(cat "$work/stderr") == "$width" ]] || fail "Hertz logged '$(cat "$work/stderr")', not the width $width"
ran 5 --same-picture
grep -q '^block #1 x: ' "$work/stderr" || fail "Diacritix logged no first block"
for effect in 1 3 4 6; do ran "$effect" --zoom 0.5; done

[[ $failures -eq 0 ]] && echo "apply mode: all checks passed"
exit $((failures > 0))
