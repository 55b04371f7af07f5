#!/usr/bin/env bash
# Checks the Debian package that `make deb` built: lintian finds no errors, the package holds
# the program and everything a desktop needs, and its dependencies name the libraries it links.
# Prints the package's control data and contents.  Usage: check-deb.sh BUILD_DIR
set -euo pipefail
build=$1

shopt -s nullglob
debs=("$build"/lumora-viewer_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one lumora-viewer package in $build, found ${#debs[@]}"; exit 1; }
deb=${debs[0]}

echo "== $deb"
dpkg-deb --info "$deb"
echo "== contents"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"

app_id=org.lumora.SonifiedFileViewer
for f in usr/bin/lumora-viewer usr/share/lumora-viewer/LMSonifyHelp.txt \
         "usr/share/applications/$app_id.desktop" "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
         "usr/share/mime/packages/$app_id.xml" "usr/share/metainfo/$app_id.metainfo.xml" \
         usr/share/doc/lumora-viewer/copyright usr/share/doc/lumora-viewer/changelog.gz \
         usr/share/man/man1/lumora-viewer.1.gz; do
  grep -q " \./$f\$" <<<"$contents" || { echo "not in the package: $f"; exit 1; }
done
# Nothing of the build's own (tests, generators, libraries) and nothing outside /usr.
if grep -v -E ' \./(usr(/|$)|$)' <<<"$contents"; then echo "files outside /usr"; exit 1; fi
if grep -q -E 'lmdgen|archivegen|_tests|\.a$' <<<"$contents"; then echo "build-only files packaged"; exit 1; fi

# The dependencies come from the linked libraries (dpkg-shlibdeps), not from a hand-kept list.
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libqt6widgets6 libqt6multimedia6 libqt6network6 libspeechd2 libc6; do
  grep -q "\b$lib\b" <<<"$depends" || { echo "Depends does not name $lib: $depends"; exit 1; }
done

echo "== lintian"
# Errors fail the check; warnings and notes are shown for the record.
lintian --fail-on error --display-info "$deb"
echo "package checked: $deb"
