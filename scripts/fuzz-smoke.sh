#!/usr/bin/env bash
# Runs every fuzz target for a while, two at a time, starting from its seeds; fails when one
# finds a crash, a hang, a leak or undefined behaviour.
# Usage: scripts/fuzz-smoke.sh BUILD_DIR [SECONDS] [TARGET...]   (a build configured with LUMORA_FUZZ=ON)
# The inputs found are kept in BUILD_DIR/fuzz/corpus/<target>, so later runs go on from there;
# a failing input is written to BUILD_DIR/fuzz/crashes/<target>-crash-* (replay: <target> FILE).
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
shift $(( $# > 1 ? 2 : 1 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_loader fuzz_commands fuzz_help fuzz_settings fuzz_archive_index fuzz_download_body)
cd "$(dirname "$0")/.."

fuzz="$build/fuzz"
"$PWD/scripts/make-fuzz-seeds.sh" "$build" "$fuzz/seeds"
mkdir -p "$fuzz/crashes" "$fuzz/logs"

run_one() {
  local target=$1 dict=()
  mkdir -p "$fuzz/corpus/$target"
  [ -f "$fuzz/seeds/$target.dict" ] && dict=(-dict="$fuzz/seeds/$target.dict")
  ./scripts/sanitizer-env.sh "$build/$target" "${dict[@]}" -max_total_time="$seconds" -timeout=20 \
    -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 -artifact_prefix="$fuzz/crashes/$target-" \
    "$fuzz/corpus/$target" "$fuzz/seeds/$target" > "$fuzz/logs/$target.log" 2>&1
}

failed=()
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    run_one "$target" & pids+=("$!:$target")
  done
  for entry in "${pids[@]}"; do
    target=${entry#*:}
    if wait "${entry%%:*}"; then
      echo "$target: $(grep -E '^stat::number_of_executed_units' "$fuzz/logs/$target.log" | awk '{print $2}') runs, no fault"
    else
      echo "$target: FAILED; the end of $fuzz/logs/$target.log:"
      tail -n 60 "$fuzz/logs/$target.log"
      failed+=("$target")
    fi
  done
done
[ ${#failed[@]} -eq 0 ] || { echo "Fuzz targets that failed: ${failed[*]}"; exit 1; }
