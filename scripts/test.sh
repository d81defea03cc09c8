#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors, and runs every test; then
# builds the link's tests with ThreadSanitizer in a folder of their own and
# runs them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh" build-test -DCMAKE_BUILD_TYPE=Debug -DZW_SANITIZE=ON -DZW_WERROR=ON -DZW_SHARED_LIBS=ON
(cd "$here/build-test" && ctest --output-on-failure -j2 --timeout 600)

# The tests that run the link worker, the simulator and the notices across
# threads.
tsan_tests=(test_serial_link test_link_cycle test_link_cycle_events test_link_cycle_commands
            test_module_transfer test_module_round_trip test_adjust_actions
            test_commissioning_lanes)
cmake -S "$here" -B "$here/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZW_TSAN=ON -DZW_WERROR=ON >/dev/null
cmake --build "$here/build-tsan" -j"$(nproc)" --target "${tsan_tests[@]}" reference_database
cd "$here/build-tsan"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$here/tests/tsan.supp" \
    ctest --output-on-failure -j2 --timeout 600 -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$"
