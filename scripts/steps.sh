# Sourced by the run and package scripts: each step prints one line, its
# output goes to one log file, and a failing step names that file and shows
# its end.
#   steps_log FILE            starts the log afresh
#   step TEXT COMMAND...      runs COMMAND as one step
#   step_build TEXT FOLDER TARGET...   builds, counting the units on a terminal
steps_log() {
  steps_log_file=$1
  : >"$steps_log_file"
}

step_failed() {
  echo "failed." >&2
  echo "What it printed is in $steps_log_file; its last lines:" >&2
  tail -n 25 "$steps_log_file" | sed 's/^/  /' >&2
  exit 1
}

step() {
  local text=$1; shift
  local start=$SECONDS
  printf '%s ... ' "$text"
  echo "### $text: $*" >>"$steps_log_file"
  "$@" >>"$steps_log_file" 2>&1 </dev/null || step_failed
  echo "done ($((SECONDS - start)) s)."
}

step_build() {
  local text=$1 folder=$2; shift 2
  local start=$SECONDS
  printf '%s ... ' "$text"
  echo "### $text" >>"$steps_log_file"
  NINJA_STATUS='[%f/%t] ' cmake --build "$folder" -j"$(nproc)" --target "$@" >>"$steps_log_file" 2>&1 &
  local build=$!
  if [ -t 1 ]; then
    # The count of units done so far, on one line that keeps changing.
    while kill -0 "$build" 2>/dev/null; do
      local done_units
      done_units=$(grep -o '^\[[0-9]*/[0-9]*\]' "$steps_log_file" | tail -n 1 || true)
      printf '\r%s ... %s ' "$text" "$done_units"
      sleep 2
    done
    printf '\r%s ... ' "$text"
  fi
  wait "$build" || step_failed
  echo "done ($((SECONDS - start)) s).    "
}
