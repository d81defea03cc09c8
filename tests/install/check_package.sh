#!/usr/bin/env bash
# check_package.sh: builds the Debian package with scripts/package.sh twice
# and checks what a packager checks: the same bytes from both runs, dates
# that are the last commit's, hardened programs, and lintian --pedantic
# without an error, a warning or a hardening tag (the rest is printed).
# It takes a Release build (minutes), so the test command does not run it:
#   tests/install/check_package.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
out=$here/build-package
. "$(dirname "$0")/check_common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$here/scripts/package.sh"
deb=$(ls "$out"/zelnor-wizard_*.deb)
cp "$deb" "$work/first.deb"
"$here/scripts/package.sh" >/dev/null
cmp -s "$work/first.deb" "$deb" || {
  fail "two runs of package.sh give different packages"
  diff <(dpkg-deb --fsys-tarfile "$work/first.deb" | tar -tv --full-time) \
       <(dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time) >&2 || true
}

# Every date is the last commit's.
epoch=$(git -C "$here" log -1 --format=%ct)
stamp=$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
others=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time | grep -v -F " $stamp " || true)
[ -z "$others" ] || fail "files not dated $stamp: $others"
root=$work/root
dpkg-deb -x "$deb" "$root"
doc=$root/usr/share/doc/zelnor-wizard
zcat "$doc/changelog.gz" | grep -qF -- ">  $(date -u -R -d "@$epoch")" ||
  fail "the changelog is not dated $(date -u -R -d "@$epoch")"
grep -qF "date=\"$(date -u -d "@$epoch" +%F)\"" "$root/usr/share/metainfo/com.zelnor.wizard.metainfo.xml" ||
  fail "the release in the metainfo is not dated $(date -u -d "@$epoch" +%F)"

# Stack protector, PIE, read-only relocations, bound at start: in every
# program. Control-flow protection is not among Debian 12's default flags
# (nor in its own programs), so it is not asked for.
for program in "$root"/usr/bin/*; do
  hardening-check --quiet --nocfprotection --nofortify "$program" >"$work/hardening.txt" 2>&1 ||
    fail "hardening-check $(basename "$program"): $(cat "$work/hardening.txt")"
done
# FORTIFY changes only the calls whose buffer sizes the compiler knows; a
# program whose only such calls are memcpy, memset and memmove shows none of
# them protected, so every unit must have been compiled with it, and the
# programs that do call protectable functions must show them protected.
units=$(grep -c '"command":' "$out/compile_commands.json")
fortified=$(grep '"command":' "$out/compile_commands.json" | grep -c -- '-D_FORTIFY_SOURCE=2' || true)
[ "$units" -eq "$fortified" ] || fail "$((units - fortified)) of $units units compiled without -D_FORTIFY_SOURCE=2"
for program in "$root"/usr/bin/*; do
  others=$(hardening-check --verbose "$program" | sed -n 's/^\tunprotected: //p' | grep -vx 'memcpy\|memset\|memmove' || true)
  [ -z "$others" ] || hardening-check --quiet --nocfprotection "$program" >/dev/null ||
    fail "$(basename "$program") calls $(echo $others) unprotected"
done

# What lintian --pedantic said in package.sh's last run.
findings=$(grep -E '^[EWIPXO]: ' "$out/package.log" || true)
grep -E '^[EW]: |hardening-' <<<"$findings" >&2 && fail "lintian finds the above"
echo "lintian --pedantic, what remains:"
sed 's/^/  /' <<<"${findings:-nothing}"

finish "the package $deb: reproducible, dated by its commit, hardened, lintian clean"
