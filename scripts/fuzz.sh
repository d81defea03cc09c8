#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang and libFuzzer (AddressSanitizer
# and UndefinedBehaviorSanitizer on) in build-fuzz, and runs each for the given
# time, FUZZ_PARALLEL of them at a time (1).
#   fuzz.sh [SECONDS] [TARGET...]    default 60 seconds, every target
# New corpus entries stay in build-fuzz/fuzz/corpus/TARGET; an input that
# crashes a target, leaks or breaks one of its checks is left as
# build-fuzz/fuzz/crashes/TARGET/crash-... (or leak-..., timeout-...) and the
# script fails. Keep such an input under tests/fuzz/regressions/TARGET once
# the fault is mended: the test command replays it from then on.
# FUZZ_JOBS sets the build's parallel jobs (2), FUZZ_ARGS adds libFuzzer
# options (-rss_limit_mb=... -max_len=...). Each target's summary (executions
# a second, coverage, peak memory) is printed when it ends.
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

run_target() {
  local target=$1
  local program="$build/bin/fuzz_$target"
  local corpus="$build/fuzz/corpus/$target"
  local crashes="$build/fuzz/crashes/$target"
  local log="$build/fuzz/logs/$target.log"
  mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
  local options=(-max_total_time="$seconds" -artifact_prefix="$crashes/" -print_final_stats=1)
  [ -f "$here/tests/fuzz/$target.dict" ] && options+=(-dict="$here/tests/fuzz/$target.dict")
  local seeds=("$here/tests/fuzz/corpus/$target")
  [ -d "$here/tests/fuzz/regressions/$target" ] && seeds+=("$here/tests/fuzz/regressions/$target")
  # New entries go to the first folder; the seeds in the source tree stay as they are.
  if (cd "$build/bin" &&
      LSAN_OPTIONS="suppressions=$here/tests/lsan.supp" \
      "$program" "${options[@]}" ${FUZZ_ARGS:-} "$corpus" "${seeds[@]}") >"$log" 2>&1; then
    { echo "== $target: $seconds s"
      grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' "$log" || true
    } | sed "s/^/[$target] /"
  else
    echo "$target FAILED: see $log and $crashes" >&2
    tail -n 30 "$log" >&2
    return 1
  fi
}

for target in "${targets[@]}"; do
  [ -x "$build/bin/fuzz_$target" ] || { echo "no fuzz target $target" >&2; exit 2; }
done
parallel=${FUZZ_PARALLEL:-1}
case "$parallel" in ''|*[!0-9]*|0) echo "FUZZ_PARALLEL must be a positive number" >&2; exit 2 ;; esac
failed=()
declare -A running=()
wait_for_one() {
  local pid target status=0
  wait -n -p pid || status=$?
  target=${running[$pid]}
  unset "running[$pid]"
  [ "$status" -eq 0 ] || failed+=("$target")
}
for target in "${targets[@]}"; do
  while [ ${#running[@]} -ge "$parallel" ]; do wait_for_one; done
  echo "== $target: started for $seconds s"
  run_target "$target" &
  running[$!]=$target
done
while [ ${#running[@]} -gt 0 ]; do wait_for_one; done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets with findings: ${failed[*]}" >&2
  exit 1
fi
echo "no findings"
