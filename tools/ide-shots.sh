#!/usr/bin/env bash
# Saves the IDE's screenshots: builds the IDE, then plays it through its scenes under
# Xvfb (start-up, a run with its console and a script window, a vector plot, a syntax
# error, a running script, the function browser, the wizard, the help window and the
# Videosource and Movie settings dialogs).
# Usage: tools/ide-shots.sh [OUTDIR]   (docs/images by default)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/images}")"
cmake --build build --target quarvel_ide_shots quarvel_ide_docs -j "$(nproc)" >/dev/null
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" build/bin/quarvel-ide-shots "$out" "$PWD/examples"
