#!/usr/bin/env bash
# Builds Quarvel and runs the demo script.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
exec build/bin/quarvel examples/demo.qv
