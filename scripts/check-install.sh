#!/usr/bin/env bash
# Installs the built program into a scratch prefix and checks what a desktop gets: the
# launcher and AppStream data pass their validators, ".lmd" files are known by their name, and
# the installed program finds its help file.  Usage: check-install.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
app_id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix


cmake --install "$build" --prefix "$prefix" >/dev/null

share=$prefix/share
for f in bin/lumora-viewer share/lumora-viewer/LMSonifyHelp.txt \
         "share/applications/$app_id.desktop" "share/icons/hicolor/scalable/apps/$app_id.svg" \
         "share/mime/packages/$app_id.xml" "share/metainfo/$app_id.metainfo.xml"; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

desktop-file-validate "$share/applications/$app_id.desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/$app_id.metainfo.xml"

# The file type: a MIME database built from the installed package maps *.lmd to it.
update-mime-database "$share/mime" >/dev/null 2>&1
grep -q 'application/x-lumora-data:\*\.lmd' "$share/mime/globs2" || { echo "*.lmd not in the MIME database"; exit 1; }
grep -q '^MimeType=application/x-lumora-data;' "$share/applications/$app_id.desktop"

# The installed program, started in a fresh home, finds the help installed beside it.
home=$scratch/home
mkdir -p "$home"
out=$(printf '?\n' | HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
      "$prefix/bin/lumora-viewer" --console)
if grep -q 'help file .* not found' <<<"$out"; then
  echo "the installed program did not find its help file:"; echo "$out"; exit 1
fi
grep -q '^say: Help Matches for ?' <<<"$out" || { echo "no help spoken:"; echo "$out"; exit 1; }
echo "desktop install checked in $prefix"
