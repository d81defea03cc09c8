#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors, and runs every test; then
# runs the link's tests built with ThreadSanitizer in a folder of their own.
# That second build runs while the first build's suites do: they mostly wait
# on ports and timers.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"

# A compiler cache pays back only once it holds something. With an empty one
# (a fresh machine) both builds compile without it and with precompiled
# headers, which save about a third of every test program's compile; a
# filled cache keeps the folders as they were configured.
build_options=()
cached_files=$(ccache --print-stats 2>/dev/null | awk '$1 == "files_in_cache" { print $2 }' || true)
if [ "${cached_files:-0}" = 0 ]; then
  build_options=(-DZW_USE_CCACHE=OFF -DZW_PCH=ON)
fi

"$here/scripts/build.sh" build-test -DCMAKE_BUILD_TYPE=Debug -DZW_SANITIZE=ON -DZW_WERROR=ON -DZW_SHARED_LIBS=ON \
    ${build_options[@]+"${build_options[@]}"}

# The tests that run the link worker, the simulator and the notices across
# threads.
tsan_tests=(test_serial_link test_link_cycle test_link_cycle_events test_link_cycle_commands
            test_module_transfer test_module_round_trip test_adjust_actions
            test_commissioning_lanes)
tsan_log="$here/build-test/tsan-build.log"
# In a session of its own, so that a failing suite stops the whole build.
setsid bash -c '
  here=$1; shift
  cmake -S "$here" -B "$here/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZW_TSAN=ON -DZW_WERROR=ON "$@" >/dev/null || exit
  # Below the suites priority, so that their timings hold.
  exec nice -n 10 cmake --build "$here/build-tsan" -j"$(nproc)" --target '"${tsan_tests[*]}"' reference_database
' tsan-build "$here" ${build_options[@]+"${build_options[@]}"} >"$tsan_log" 2>&1 &
tsan_build=$!
trap 'kill -- "-$tsan_build" 2>/dev/null || true' EXIT

(cd "$here/build-test" && ctest --output-on-failure -j3 --timeout 600)

if ! wait "$tsan_build"; then
  echo "The ThreadSanitizer build failed:" >&2
  tail -n 60 "$tsan_log" >&2
  exit 1
fi
trap - EXIT
cd "$here/build-tsan"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$here/tests/tsan.supp" \
    ctest --output-on-failure -j2 --timeout 600 -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$"
