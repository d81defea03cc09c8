# Sourced by the install checks: each failure is counted and named, and the
# check ends with their number or its one line of success.
#   fail TEXT      counts a failure
#   finish TEXT    exits 1 after failures, else prints TEXT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
  echo "$1"
}
