#!/usr/bin/env bash
# check_mime.sh MIME-XML DESKTOP-FILE ZELNORCTL
# Installs the file types MIME-XML into a MIME database of its own, beside
# the system's definitions (which know SQLite databases and text), and asks
# the desktop's tools what each kind of file is and what opens it: only
# projects and data link files are ours, never another SQLite database or a
# text file that happens to be named .prj.
set -euo pipefail
xml=$1
desktop=$2
ctl=$3
. "$(dirname "$0")/check_common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=$work/share
mkdir -p "$data/mime/packages" "$data/applications" "$work/home"
cp /usr/share/mime/packages/freedesktop.org.xml "$data/mime/packages/"
cp "$xml" "$data/mime/packages/com.zelnor.wizard.xml"
cp "$desktop" "$data/applications/"
update-mime-database "$data/mime" >"$work/update.log" 2>&1 ||
  { echo "FAIL: update-mime-database: $(cat "$work/update.log")" >&2; exit 1; }
# Only this database counts; xdg-mime asks gio, as on a GNOME desktop.
export HOME=$work/home XDG_DATA_HOME=$data XDG_DATA_DIRS=$data XDG_CONFIG_HOME=$work/home/config \
       XDG_CONFIG_DIRS=$work/home/config XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORM=offscreen

files=$work/files
mkdir -p "$files"
HOME=$work/home "$ctl" new "$files/plant.prj" >"$work/new.log" 2>&1 ||
  { echo "FAIL: zelnorctl new: $(cat "$work/new.log")" >&2; exit 1; }
sqlite3 "$files/other.db" 'CREATE TABLE shop(item TEXT)'
cp "$files/other.db" "$files/bare"
cp "$files/other.db" "$files/places.sqlite"
printf 'PROJCS["WGS_1984_UTM_Zone_32N",GEOGCS["GCS_WGS_1984"]]\n' >"$files/map.prj"
# A data link file is UTF-16 text with a byte-order mark.
printf '[oledb]\r\nProvider=SQLite;Data Source=plant.prj\r\n' | iconv -f UTF-8 -t UTF-16 >"$files/plant.udl"

# expect FILE TYPE: both gio and xdg-mime type FILE as TYPE.
expect() {
  local file=$files/$1 want=$2 got
  got=$(gio info -a standard::content-type "$file" 2>&1 | sed -n 's/^ *standard::content-type: //p')
  [ "$got" = "$want" ] || fail "gio types $1 as '$got', not $want"
  got=$(xdg-mime query filetype "$file" 2>&1)
  [ "$got" = "$want" ] || fail "xdg-mime types $1 as '$got', not $want"
}
expect plant.prj application/x-zelnor-project
expect plant.udl application/x-zelnor-data-link
expect other.db application/vnd.sqlite3
expect places.sqlite application/vnd.sqlite3
expect bare application/vnd.sqlite3
expect map.prj text/plain

# A double-click on a project or a data link file opens the program.
for type in application/x-zelnor-project application/x-zelnor-data-link; do
  got=$(xdg-mime query default "$type" 2>&1)
  [ "$got" = com.zelnor.wizard.desktop ] || fail "$type opens with '$got'"
done
got=$(xdg-mime query default application/vnd.sqlite3 2>&1)
[ "$got" != com.zelnor.wizard.desktop ] || fail "every SQLite database opens the program"

finish "the file types claim projects and data link files, and nothing else"
