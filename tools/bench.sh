#!/usr/bin/env bash
# Builds Quarvel, then runs the interpreter benchmarks beside their peers (CPython and
# Lua 5.4), installing the peers' Debian packages when missing: the benchmarks measure
# them in the same run; the build never needs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh python3 lua5.4
bash tools/build.sh
for benchmark in InterpreterBench CallBench StartupBench; do
  echo "== $benchmark"
  build/bin/$benchmark
done
