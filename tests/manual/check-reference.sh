#!/usr/bin/env bash
# Fails when docs/reference.md differs from the reference made afresh from the registry.
# Usage: check-reference.sh QUARVEL REFERENCE.md
set -euo pipefail
fresh="$(mktemp)"
trap 'rm -f "$fresh"' EXIT
bash "$(dirname "$0")/../../tools/function-reference.sh" "$(realpath "$1")" "$fresh"
diff -u "$2" "$fresh" || { echo "the function reference is out of date: run tools/manual.sh"; exit 1; }
