#!/usr/bin/env bash
# Runs every fuzz target of build-asan for SECONDS_PER_TARGET seconds (8 by
# default, about a minute in all), starting from its seed corpus in
# fuzz/corpus/<target>/ and growing a scratch corpus outside the repository.
# Prints the executions run per target; fails on any crash, hang or
# sanitizer report, keeping the input that caused it.
#
#   bash scripts/fuzz.sh [SECONDS_PER_TARGET]
#   KASLO_FUZZ_WORK=DIR   scratch folder (default: a new one under $TMPDIR)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-8}"
bin_dir="build-asan/fuzz"
source scripts/sanitizer_env.sh

if [[ ! -d "$bin_dir" ]]; then
  echo "fuzz.sh: $bin_dir missing; configure build-asan with -DKASLO_FUZZ=ON and build it" >&2
  exit 1
fi
work="${KASLO_FUZZ_WORK:-$(mktemp -d "${TMPDIR:-/tmp}/kaslo-fuzz.XXXXXX")}"
mkdir -p "$work"

failed=()
for seeds in fuzz/corpus/*/; do
  target="$(basename "$seeds")"
  binary="$bin_dir/$target"
  [[ -x "$binary" ]] || { echo "fuzz.sh: $binary not built" >&2; failed+=("$target"); continue; }
  corpus="$work/$target/corpus"
  artifacts="$work/$target/artifacts/"
  log="$work/$target/log.txt"
  mkdir -p "$corpus" "$artifacts"
  status=0
  "$binary" "$corpus" "$seeds" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$artifacts" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -1)"
  [[ -n "$runs" ]] || runs="$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')"
  if ((status != 0)) || grep -qE '^(==[0-9]+==ERROR|SUMMARY: |.*runtime error:)' "$log"; then
    echo "$target: FAILED after ${runs:-0} executions (exit $status); log $log"
    ls "$artifacts" | sed "s|^|  input kept: $artifacts|"
    tail -n 40 "$log" | sed 's/^/  | /'
    failed+=("$target")
  else
    echo "$target: ${runs:-0} executions in ${seconds}s"
  fi
done

if ((${#failed[@]})); then
  echo "fuzz.sh: ${#failed[@]} target(s) failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: all targets clean; scratch corpora in $work"
