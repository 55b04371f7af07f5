#!/usr/bin/env bash
# Puts hand-written slips into the code one at a time and tells which the tests catch.
#
#   scripts/mutants.sh [LIST] [NAME-PATTERN]
#
# LIST (default scripts/mutants.list) holds one block per slip, blocks apart by a blank line:
#   name: what the slip is
#   file: path from the top of the repository
#   from: exact text in the file (its first occurrence is replaced)
#   to:   the text put in its place
#   test: test binary in the build folder, then an optional GoogleTest filter
# A line starting with "+" goes on the field above it, after a line break (a text over lines).
# Only slips whose name matches NAME-PATTERN (a grep -E pattern) run. A slip whose text is not
# in its file is reported "not applicable"; one that does not build, "does not build"; neither
# counts. Each file is put back as it was after its slip, even on Ctrl+C. BUILD picks the build
# folder (default build), JOBS the build's parallel jobs (default 2); CHECK=1 only tells whether
# each slip still applies, without building or testing.
set -uo pipefail
top="$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"
cd "$top"
list="${1:-scripts/mutants.list}"
only="${2:-}"
build="${BUILD:-build}"
jobs="${JOBS:-2}"
log="$build/mutants.log"
[ -f "$list" ] || { echo "no list $list" >&2; exit 2; }
[ -d "$build" ] || { echo "no build folder $build: run make build first" >&2; exit 2; }
: > "$log"

backup=""
target=""
# Put back with a fresh time stamp once something was built from the slip, so the next build
# compiles the file again; keep the old one when nothing was built.
built=""
restore() {
    if [ -n "$backup" ] && [ -f "$backup" ]; then
        if [ -n "$built" ]; then cp "$backup" "$target"; else cp -p "$backup" "$target"; fi
        rm -f "$backup"
    fi
    backup=""; built=""
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

caught=0; missed=0; skipped=0; broken=0
missedNames=()

run_one() {
    local name="$1" file="$2" from="$3" to="$4" test="$5"
    [ -n "$only" ] && ! grep -Eq -- "$only" <<<"$name" && return
    if [ ! -f "$file" ]; then
        printf '%-16s %s (no file %s)\n' "not applicable" "$name" "$file"; skipped=$((skipped + 1)); return
    fi
    target="$file"
    backup="$(mktemp)"
    cp -p "$file" "$backup"
    if ! FROM="$from" TO="$to" python3 - "$file" <<'PY'
import os, sys
path = sys.argv[1]
text = open(path, encoding="utf-8").read()
old, new = os.environ["FROM"], os.environ["TO"]
if old not in text:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(old, new, 1))
PY
    then
        rm -f "$backup"; backup=""
        printf '%-16s %s\n' "not applicable" "$name"; skipped=$((skipped + 1)); return
    fi
    if [ -n "${CHECK:-}" ]; then
        restore
        printf '%-16s %s\n' "applies" "$name"; return
    fi
    local binary filter
    read -r binary filter <<<"$test"
    echo "=== $name" >> "$log"
    built=1
    if ! cmake --build "$build" --target "$binary" -j "$jobs" >> "$log" 2>&1; then
        restore
        printf '%-16s %s\n' "does not build" "$name"; broken=$((broken + 1)); return
    fi
    if timeout 600 "$build/$binary" ${filter:+--gtest_filter="$filter"} --gtest_brief=1 >> "$log" 2>&1; then
        printf '%-16s %s\n' "MISSED" "$name"; missed=$((missed + 1)); missedNames+=("$name")
    else
        printf '%-16s %s\n' "caught" "$name"; caught=$((caught + 1))
    fi
    restore
}

name=""; file=""; from=""; to=""; test=""; last=""
flush() {
    if [ -n "$name$file$from" ]; then
        run_one "$name" "$file" "$from" "$to" "$test"
    fi
    name=""; file=""; from=""; to=""; test=""
}
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
        '#'*) ;;
        '') flush ;;
        name:*) name="${line#name:}"; name="${name#"${name%%[! ]*}"}"; last=name ;;
        file:*) file="${line#file:}"; file="${file#"${file%%[! ]*}"}"; last=file ;;
        from:*) from="${line#from:}"; from="${from#"${from%%[! ]*}"}"; last=from ;;
        to:*) to="${line#to:}"; to="${to#"${to%%[! ]*}"}"; last=to ;;
        test:*) test="${line#test:}"; test="${test#"${test%%[! ]*}"}"; last=test ;;
        +*) [ -n "$last" ] && printf -v "$last" '%s\n%s' "${!last}" "${line#+}" ;;
        *) echo "unreadable line in $list: $line" >&2 ;;
    esac
done < "$list"
flush

[ -n "${CHECK:-}" ] && exit 0
# The files are back: rebuild what was tested so the build folder matches the sources again.
for binary in $(grep -h '^test:' "$list" | awk '{ print $2 }' | sort -u); do
    cmake --build "$build" --target "$binary" -j "$jobs" >> "$log" 2>&1 || true
done

counted=$((caught + missed))
echo
echo "caught $caught of $counted ($( [ $counted -gt 0 ] && echo $((100 * caught / counted)) || echo 0) %)," \
     "not applicable $skipped, does not build $broken; details in $log"
for n in "${missedNames[@]}"; do echo "  missed: $n"; done
[ "$missed" -eq 0 ]
