#!/usr/bin/env bash
# check_manpages.sh MAN-FOLDER BIN-FOLDER
# The manual pages of MAN-FOLDER read cleanly with man, carry a NAME line
# that lexgrog finds, and say what the programs of BIN-FOLDER know: every
# command and option of zelnorctl, every option of zelnor-wizard and of
# zelnor-linkwatch, and no command zelnorctl does not have.
set -euo pipefail
man_dir=$1
bin=$2
. "$(dirname "$0")/check_common.sh"

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=offscreen

for program in zelnorctl zelnor-wizard zelnor-linkwatch zelnor-simulator zelnor-project; do
  page=$man_dir/$program.1.gz
  [ -s "$page" ] || { fail "no manual page $page"; continue; }
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man cannot show $page"
  [ -z "$warnings" ] || fail "man warns about $program(1): $warnings"
  lexgrog "$page" 2>/dev/null | grep ": \"$program - " >/dev/null || fail "lexgrog finds no NAME line in $program(1)"
done

# The page's roff: options are written \-\-name.
roff() { zcat "$man_dir/$1.1.gz"; }
# options TEXT: the long options a text names, one a line.
options() { grep -oE -- '(^|[] ,[|])--[a-z][a-z0-9-]*' <<<"$1" | sed 's/^[] ,[|]//' | sort -u; }
# expect_options WHAT ROFF TEXT: every option TEXT names is in ROFF.
expect_options() {
  local option
  for option in $(options "$3"); do
    grep -qF -- "${option//-/\\-}" <<<"$2" || fail "$1 does not name $option"
  done
}

ctl=$bin/zelnorctl
listing=$("$ctl" --lang 1 --help) || fail "zelnorctl --help exits $?"
commands=$(sed -n '/^Commands:/,/^$/p' <<<"$listing" | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')
[ "$(wc -l <<<"$commands")" -ge 20 ] || fail "zelnorctl --help lists only: $commands"
page=$(roff zelnorctl)
synopsis=$(sed -n '/^\.SH SYNOPSIS/,/^\.SH /p' <<<"$page")
for command in $commands; do
  escaped=${command//-/\\-}
  grep -qxF ".SS $escaped" <<<"$page" || fail "zelnorctl(1) has no section for the command $command"
  grep -qF -e "\\fBzelnorctl $escaped\\fR" -e "\\fBzelnorctl $escaped " <<<"$synopsis" ||
    fail "the synopsis of zelnorctl(1) has no line for $command"
  # A command's usage line names its own options: its section tells of them.
  # sed reads to the end: head would leave the tool writing into a closed pipe,
  # which fails the pipeline now and then.
  usage=$("$ctl" --lang 1 help "$command" | sed -n 1p)
  section=$(head=".SS $escaped" awk '$0 == ENVIRON["head"] { inside = 1; next } /^\.S[SH] / { inside = 0 } inside' <<<"$page")
  expect_options "the section $command of zelnorctl(1)" "$section" "$usage"
done
for described in $(sed -n 's/^\.SS //p' <<<"$page"); do
  grep -qxF -- "${described//\\-/-}" <<<"$commands" ||
    fail "zelnorctl(1) describes $described, which zelnorctl does not have"
done
# Every option zelnorctl takes is in the page.
expect_options "zelnorctl(1)" "$page" "$("$ctl" --lang 1 help new)"

expect_options "zelnor-wizard(1)" "$(roff zelnor-wizard)" \
  "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/zelnor-wizard" --help)"
expect_options "zelnor-linkwatch(1)" "$(roff zelnor-linkwatch)" "$("$bin/zelnor-linkwatch" --help)"

finish "the manual pages read cleanly and name every command and option"
