#!/usr/bin/env bash
# check_install.sh BUILD-FOLDER STAGE-FOLDER
# Installs BUILD-FOLDER with DESTDIR=STAGE-FOLDER under /usr and runs the
# installed programs from there.
set -euo pipefail
build=$1
stage=$2
. "$(dirname "$0")/check_common.sh"

rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$build/install-stage.log" ||
  { echo "FAIL: cmake --install (see $build/install-stage.log)" >&2; exit 1; }
usr=$stage/usr
share=$usr/share/zelnor-wizard

# What sat beside the program sits in the share folder, and nothing of it in bin.
for f in zelnor-wizard.vor LangEN.pak LangGE.pak LangFR.pak LangRU.pak LangSP.pak \
         brakwell_logo.bmp zelnor_logo.bmp 'Readme!_EN.pdf' 'Readme!_ES.pdf'; do
  [ -s "$share/$f" ] || fail "$share/$f is missing"
done
for p in zelnor-wizard zelnorctl zelnor-simulator zelnor-project; do
  [ -x "$usr/bin/$p" ] || fail "$usr/bin/$p is missing"
done
extra=$(find "$usr/bin" -type f ! -perm -u+x)
[ -z "$extra" ] || fail "data files in bin: $extra"

# A user of their own, so that nothing of the machine's settings counts.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=offscreen
ctl=$usr/bin/zelnorctl

version=$("$ctl" --version) || fail "zelnorctl --version exits $?"
grep -q '^zelnorctl [0-9]' <<<"$version" || fail "zelnorctl --version says '$version'"

# A new project is a copy of the reference database of the share folder.
"$ctl" new "$home/plant.prj" >"$home/new.out" 2>&1 || fail "zelnorctl new: $(cat "$home/new.out")"
[ "$(head -c 15 "$home/plant.prj" 2>/dev/null)" = "SQLite format 3" ] || fail "zelnorctl new made no project"
"$ctl" add "$home/plant.prj" '\\Project' plant >/dev/null || fail "zelnorctl add"
"$ctl" add-module "$home/plant.prj" '\\Project\Plant1' 7 TT-101 TT-102 >/dev/null || fail "zelnorctl add-module"

# The report carries the two logos of the share folder.
"$ctl" print "$home/plant.prj" --pdf "$home/plant.pdf" >"$home/print.out" 2>&1 ||
  fail "zelnorctl print: $(cat "$home/print.out")"
[ "$(head -c 5 "$home/plant.pdf" 2>/dev/null)" = "%PDF-" ] || fail "zelnorctl print wrote no PDF"
if command -v pdfimages >/dev/null; then
  images=$(pdfimages -list "$home/plant.pdf" 2>/dev/null | tail -n +3 | wc -l)
  [ "$images" -ge 2 ] || fail "the report holds $images pictures, not the two logos"
fi

# The run logs go to the user's data folder, never into the installation.
[ -z "$(find "$usr" -name Log -o -name monitoring)" ] || fail "a Log or monitoring folder inside the installation"
ls "$XDG_DATA_HOME"/*/*/Log/*_Log*.txt >/dev/null 2>&1 || ls "$XDG_DATA_HOME"/*/Log/*_Log*.txt >/dev/null 2>&1 ||
  fail "no log file under $XDG_DATA_HOME"

# The program answers --help and --version without a display.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/zelnor-wizard" --version) ||
  fail "zelnor-wizard --version exits $?"
grep -q '^zelnor-wizard [0-9]' <<<"$out" || fail "zelnor-wizard --version says '$out'"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/zelnor-wizard" --help) ||
  fail "zelnor-wizard --help exits $?"
grep -q -- '--port' <<<"$out" || fail "zelnor-wizard --help says '$out'"

# Desktop integration: menu entry, software-centre description, file types,
# icons, manual pages.
desktop=$usr/share/applications/com.zelnor.wizard.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
grep -q '^MimeType=.*application/x-zelnor-project;.*application/x-zelnor-data-link;' "$desktop" ||
  fail "the menu entry opens no projects"
appstreamcli validate --no-net "$usr/share/metainfo/com.zelnor.wizard.metainfo.xml" ||
  fail "appstreamcli validate"
mime=$home/mime
mkdir -p "$mime/packages"
cp "$usr/share/mime/packages/com.zelnor.wizard.xml" "$mime/packages/"
update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database refuses the file types"
grep -q '\*\.prj' "$mime/globs2" 2>/dev/null || fail "no glob for *.prj"
grep -q '\*\.udl' "$mime/globs2" 2>/dev/null || fail "no glob for *.udl"
[ -s "$usr/share/icons/hicolor/scalable/apps/com.zelnor.wizard.svg" ] || fail "no scalable icon"
for size in 16 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/com.zelnor.wizard.png
  got=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "no PNG")' "$png" 2>/dev/null || echo missing)
  [ "$got" = "${size}x${size}" ] || fail "$png is $got"
done
for page in zelnor-wizard zelnorctl; do
  man=$usr/share/man/man1/$page.1.gz
  [ "$(zcat "$man" 2>/dev/null | head -c 3)" = ".TH" ] || fail "no manual page $man"
done
# Every command of zelnorctl has its section in its manual page.
sections=$(zcat "$usr/share/man/man1/zelnorctl.1.gz" | grep '^\.SS ' || true)
for command in new print download; do
  grep -qx "\.SS $command" <<<"$sections" || fail "zelnorctl(1) misses $command"
done

finish "installed under $stage: every check passed"
