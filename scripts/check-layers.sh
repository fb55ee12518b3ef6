#!/usr/bin/env bash
# The include graph between folders: every #include "a/b/..." of a tracked source under
# core/, engine/, gui/ and cli/ is an edge from the file's folder to the included folder.
# Fails on an edge to a layer the folder may not use, or on a cycle between folders.
#   core   may use core
#   engine may use core, engine
#   gui    may use core, engine, gui
#   cli    may use core, engine, cli
# Tests may include any layer and are not checked. Prints the folder graph.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A may_use=(
  [core]="core"
  [engine]="core engine"
  [gui]="core engine gui"
  [cli]="core engine cli"
)

folder_of() {  # core/model/X.h -> core/model; cli/X.cpp -> cli
  local dir=${1%/*}
  [[ $dir == "$1" ]] && dir=.
  echo "$dir"
}

status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
  from=$(folder_of "$file")
  layer=${from%%/*}
  while IFS= read -r inc; do
    to=$(folder_of "$inc")
    target=${to%%/*}
    if [[ -z ${may_use[$target]+x} ]]; then
      echo "include of an unknown folder: $file -> $inc"
      status=1
      continue
    fi
    if [[ " ${may_use[$layer]} " != *" $target "* ]]; then
      echo "upward include: $file -> $inc ($layer may use ${may_use[$layer]})"
      status=1
    fi
    [[ $from != "$to" ]] && echo "$from $to" >> "$edges"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'core/*.cpp' 'core/*.h' 'engine/*.cpp' 'engine/*.h' 'gui/*.cpp' 'gui/*.h' \
                      'cli/*.cpp' 'cli/*.h')

sort -u "$edges" -o "$edges"
echo "folder edges (includer -> included):"
sed 's/ / -> /; s/^/  /' "$edges"
# tsort reports every cycle of the graph on stderr.
if ! tsort "$edges" > /dev/null 2> "$edges.err"; then
  echo "include cycle between folders:"
  sed 's/^tsort: /  /' "$edges.err"
  status=1
fi
rm -f "$edges.err"
[[ $status == 0 ]] && echo "layers: no upward include, no cycle between folders"
exit $status
