#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang and libFuzzer (AddressSanitizer
# and UndefinedBehaviorSanitizer on) in build-fuzz, and runs each for the given
# time, one after the other.
#   fuzz.sh [SECONDS] [TARGET...]    default 60 seconds, every target
# New corpus entries stay in build-fuzz/fuzz/corpus/TARGET; an input that
# crashes a target, leaks or breaks one of its checks is left as
# build-fuzz/fuzz/crashes/TARGET/crash-... (or leak-..., timeout-...) and the
# script fails. Keep such an input under tests/fuzz/regressions/TARGET once
# the fault is mended: the test command replays it from then on.
# FUZZ_JOBS sets the build's parallel jobs (2), FUZZ_ARGS adds libFuzzer
# options (-rss_limit_mb=... -max_len=...).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
case "$seconds" in
  ''|*[!0-9]*) echo "usage: fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac
build="$here/build-fuzz"
"$here/scripts/deps.sh" fuzz
cxx=$(command -v clang++-14 || command -v clang++)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
  -DZW_FUZZ=ON -DZW_TESTS=OFF -DZW_BENCH=OFF -DZW_SANITIZE=OFF -DZW_SHARED_LIBS=OFF >/dev/null
cmake --build "$build" -j"${FUZZ_JOBS:-2}" --target fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for program in "$build"/bin/fuzz_*; do
    targets+=("$(basename "$program" | sed 's/^fuzz_//')")
  done
fi

failed=()
for target in "${targets[@]}"; do
  program="$build/bin/fuzz_$target"
  [ -x "$program" ] || { echo "no fuzz target $target" >&2; exit 2; }
  corpus="$build/fuzz/corpus/$target"
  crashes="$build/fuzz/crashes/$target"
  log="$build/fuzz/logs/$target.log"
  mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
  options=(-max_total_time="$seconds" -artifact_prefix="$crashes/" -print_final_stats=1)
  [ -f "$here/tests/fuzz/$target.dict" ] && options+=(-dict="$here/tests/fuzz/$target.dict")
  seeds=("$here/tests/fuzz/corpus/$target")
  [ -d "$here/tests/fuzz/regressions/$target" ] && seeds+=("$here/tests/fuzz/regressions/$target")
  echo "== $target: $seconds s"
  # New entries go to the first folder; the seeds in the source tree stay as they are.
  if (cd "$build/bin" &&
      LSAN_OPTIONS="suppressions=$here/tests/lsan.supp" \
      "$program" "${options[@]}" ${FUZZ_ARGS:-} "$corpus" "${seeds[@]}") >"$log" 2>&1; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::average_exec_per_sec|stat::peak_rss_mb)' "$log" || true
  else
    echo "$target FAILED: see $log and $crashes" >&2
    tail -n 30 "$log" >&2
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets with findings: ${failed[*]}" >&2
  exit 1
fi
echo "no findings"
