#!/usr/bin/env bash
# Builds Quarvel, then runs the interpreter benchmarks beside their peers (CPython and
# Lua 5.4), installing the peers' Debian packages when missing: the benchmarks measure
# them in the same run; the build never needs them.
set -euo pipefail
cd "$(dirname "$0")/.."
peers=(python3 lua5.4)
missing=()
for p in "${peers[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q "${missing[@]}"
fi
bash tools/build.sh
for benchmark in InterpreterBench CallBench StartupBench; do
  echo "== $benchmark"
  build/bin/$benchmark
done
