#!/usr/bin/env bash
# Runs every built libFuzzer target for a while on its committed corpus. New inputs
# go to build/fuzz/found/<name>; the committed corpus is only read. Fails on a finding.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
for f in build/fuzz/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f"); short=${name#fuzz_}
  corpus=""
  for c in "fuzz/corpus/$short" "fuzz/corpus/$name"; do [ -d "$c" ] && corpus="$c"; done
  mkdir -p "build/fuzz/found/$short"
  echo "== $name (${seconds} s${corpus:+, corpus $corpus})"
  if ! "$f" -max_total_time="$seconds" -print_final_stats=1 "build/fuzz/found/$short" $corpus \
       > "build/fuzz/found/$short.log" 2>&1; then
    tail -40 "build/fuzz/found/$short.log"
    echo "$name found a fault (log: build/fuzz/found/$short.log)" >&2
    exit 1
  fi
  grep -E "stat::number_of_executed_units" "build/fuzz/found/$short.log" || true
done
