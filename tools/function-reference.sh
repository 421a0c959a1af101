#!/usr/bin/env bash
# Writes the manual's function reference (docs/reference.md) from the registry itself:
# the listing of `quarvel --functions` (every overload's head on one line, its help text
# indented beneath), turned into Markdown. A test compares the page with a fresh one.
# Usage: tools/function-reference.sh [QUARVEL [OUTPUT]]
set -euo pipefail
cd "$(dirname "$0")/.."
quarvel="${1:-build/bin/quarvel}"
output="${2:-docs/reference.md}"
QUARVEL_PLUGIN_PATH= "$quarvel" --functions | awk '
  function namespace_of(head,   name) {
    name = substr(head, 1, index(head, "(") - 1)
    return index(name, ".") ? substr(name, 1, index(name, ".") - 1) : ""
  }
  function name_of(head) { return substr(head, 1, index(head, "(") - 1) }
  function title(space) { return space == "" ? "Functions without a namespace" : space }
  function anchor(space,   text) { text = tolower(title(space)); gsub(/ /, "-", text); return text }
  function escaped(text) { gsub(/[\\`*_<>\[\]]/, "\\\\&", text); return text }
  /^[^ ]/ { heads[++count] = $0; help[count] = ""; next }
  /^    / { text = substr($0, 5); sub(/^[ \t]+/, "", text); help[count] = help[count] escaped(text) "\n"; next }
  END {
    print "# Function reference"
    print ""
    print "Every function of the built-in library, with each of its overloads: the parameters"
    print "in call order, each with the types it accepts, its name and its default (`-> value`,"
    print "or `<dynamic>` when the function works the default out itself; a parameter without"
    print "one is required), and the type it returns. `const` parameters are only read; `&`"
    print "marks a parameter passed by reference (`&variable` in the call). Arguments may be"
    print "given by position or by name (`Math.Random(min -> 1, max -> 6)`). Where a name"
    print "has several overloads, a call takes the first that accepts its arguments."
    print ""
    print "This page is made from the engine itself: `tools/function-reference.sh` turns the"
    print "listing of `quarvel --functions` into Markdown, and a test checks that it is current."
    print "`quarvel --plugins DIR --functions` lists the functions of plug-in modules too."
    print ""
    line = "Namespaces:"
    for (i = 1; i <= count; ++i) {
      space = namespace_of(heads[i])
      if (i > 1 && space == namespace_of(heads[i - 1])) continue
      line = line (line == "Namespaces:" ? " " : ", ") "[" title(space) "](#" anchor(space) ")"
    }
    print line
    for (i = 1; i <= count; ++i) {
      space = namespace_of(heads[i])
      if (i == 1 || space != namespace_of(heads[i - 1])) { print ""; print "## " title(space) }
      if (i == 1 || name_of(heads[i]) != name_of(heads[i - 1])) { print ""; print "### " name_of(heads[i]) }
      print ""
      print "`" heads[i] "`"
      if (help[i] != "") { print ""; printf "%s", help[i] }
    }
  }' >"$output.new"
mv "$output.new" "$output"
