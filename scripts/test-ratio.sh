#!/usr/bin/env bash
# Test lines against code lines: non-blank, non-comment lines of the C++ sources in tests/
# against those in src/, tools/, bench/ and fuzz/. Run from anywhere in the repository.
set -euo pipefail
cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"

count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' \) -print0 2>/dev/null |
        xargs -0 -r cat |
        awk '
            { line = $0 }
            inBlock { if (line ~ /\*\//) { inBlock = 0; sub(/.*\*\//, "", line) } else next }
            { sub(/^[ \t]+/, "", line) }
            line ~ /^\/\*/ { if (line !~ /\*\//) { inBlock = 1; next } sub(/^\/\*.*\*\//, "", line); sub(/^[ \t]+/, "", line) }
            line == "" || line ~ /^\/\// { next }
            { n++ }
            END { print n + 0 }'
}

tests=$(count tests)
code=$(count src tools bench fuzz)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "test lines %d, code lines %d, ratio %.1f %%\n", t, c, c ? 100 * t / c : 0 }'
