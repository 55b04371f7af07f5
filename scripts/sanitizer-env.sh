#!/usr/bin/env bash
# Runs a command with the sanitizer options the build-asan programs need: stop at the first
# report, with a symbolized stack, and exit with status 1 (not a signal), so a test that runs
# the console as a child process sees the failure in its exit status.
set -euo pipefail
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer"
exec "$@"
