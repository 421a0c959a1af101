#!/usr/bin/env bash
# Runs the examples of one manual page and checks that the page tells the truth.
# An example is a fenced block of kind "quarvel"; the fenced block of kind "output"
# right after it (blank lines between are allowed) is what the example prints, without
# the syntax check's first line. An example without an output block prints nothing.
# Each example runs with `quarvel --sync` in a fresh folder holding the example photo
# (examples/photo.jpg); every PNG picture it writes must equal the one of that name in
# the pictures folder.
# With QV_UPDATE_MANUAL set in the environment the page's output blocks (inserting the
# missing ones) and the pictures are rewritten instead: read the differences.
# Usage: run-examples.sh QUARVEL PAGE.md PICTURES_DIR
set -euo pipefail
quarvel="$(realpath "$1")"
page="$(realpath "$2")"
pictures="$(realpath -m "$3")"
photo="$(realpath "$(dirname "$0")/../../examples/photo.jpg")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# example-N.qv for each example, example-N.out for each output block.
awk -v dir="$work" '
  state == "code" && /^```$/ { state = "after"; close(code); next }
  state == "code" { print > code; next }
  state == "out" && /^```$/ { state = ""; close(out); next }
  state == "out" { print > out; next }
  state == "after" && /^[ \t]*$/ { next }
  state == "after" && /^```output$/ { state = "out"; out = dir "/example-" n ".out"; printf "" > out; next }
  { state = "" }
  /^```quarvel$/ { n++; state = "code"; code = dir "/example-" n ".qv"; printf "" > code }
' "$page"

count=0
for script in "$work"/example-*.qv; do
    [ -e "$script" ] || break
    count=$((count + 1))
    n="$(basename "$script" .qv)"
    run="$work/$n.run"
    mkdir "$run"
    cp "$photo" "$run/"
    cp "$script" "$run/example.qv"
    ( cd "$run" && "$quarvel" --sync example.qv 2>&1 || true ) |
        sed '1{/^Syntax Check Complete : No Errors found\.$/d}' >"$work/$n.actual"
    expected="$work/$n.out"
    [ -e "$expected" ] || : >"$expected"
    if [ -z "${QV_UPDATE_MANUAL:-}" ] && ! cmp -s "$work/$n.actual" "$expected"; then
        echo "FAILED: example $count of $(basename "$page") prints something else"
        echo "--- example"; cat "$script"
        echo "--- expected"; cat "$expected"
        echo "--- actual"; cat "$work/$n.actual"
        failures=$((failures + 1))
    fi
    for picture in "$run"/*.png; do
        [ -e "$picture" ] || break
        name="$(basename "$picture")"
        if [ -n "${QV_UPDATE_MANUAL:-}" ]; then
            mkdir -p "$pictures" && cp "$picture" "$pictures/$name"
        elif ! cmp -s "$picture" "$pictures/$name"; then
            echo "FAILED: example $count of $(basename "$page") draws $name otherwise than $pictures/$name"
            failures=$((failures + 1))
        fi
    done
done

if [ -n "${QV_UPDATE_MANUAL:-}" ]; then
    # The page again, each example followed by its actual output block (none when it
    # prints nothing).
    awk -v dir="$work" '
      function emit_output(   file, line) {
        file = dir "/example-" n ".actual"
        if ((getline line < file) <= 0) return
        print ""; print "```output"; print line
        while ((getline line < file) > 0) print line
        close(file); print "```"
      }
      state == "code" && /^```$/ { print; state = "after"; next }
      state == "code" { print; next }
      state == "old" && /^```$/ { state = "gap"; next }
      state == "old" { next }
      state == "after" && /^[ \t]*$/ { held = held $0 "\n"; next }
      state == "after" && /^```output$/ { state = "old"; held = ""; emit_output(); next }
      state == "after" { emit_output(); printf "%s", held; held = ""; state = "" }
      state == "gap" { state = "" }
      /^```quarvel$/ { n++; state = "code" }
      { print }
      END { if (state == "after") emit_output() }
    ' "$page" >"$work/page.md"
    cp "$work/page.md" "$page"
    echo "rewrote $(basename "$page"): $count examples"
    exit 0
fi
[ "$failures" -eq 0 ] || { echo "$failures failure(s) in $count examples"; exit 1; }
echo "$count examples of $(basename "$page") print and draw what the page shows"
