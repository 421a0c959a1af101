#!/usr/bin/env bash
# Makes the manual's generated parts again from the build: the function reference
# (docs/reference.md) and, for every page with examples, the output blocks and the
# pictures the examples draw (docs/images/manual/). Read the differences before
# committing: the tests compare the manual with exactly these.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target quarvel_cli >/dev/null
bash tools/function-reference.sh build/bin/quarvel docs/reference.md
for page in docs/*.md; do
    grep -q '^```quarvel$' "$page" || continue
    QV_UPDATE_MANUAL=1 bash tests/manual/run-examples.sh build/bin/quarvel "$page" docs/images/manual
done
