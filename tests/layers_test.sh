#!/usr/bin/env bash
# scripts/check-layers.sh passes on a copy of the tree, then fails naming each forbidden include
# injected into the copy: a subsystem including another, one including app/, a folder the table
# does not know, a bottom-layer header declaring the editor window's class (`class Editor;`), and a port
# carrying a window handle as a number, and a header that includes back the file including it.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$tmp" -xf -
check() { "$root/scripts/check-layers.sh" "$tmp"; }

check >/dev/null || { echo "layers_test: the clean copy fails"; exit 1; }

inject() {  # inject FILE INCLUDE: appends the include, prints FILE:LINE
  echo "#include \"$2\"" >>"$tmp/$1"
  echo "$1:$(wc -l <"$tmp/$1" | tr -d ' ')"
}
finds=("$tmp"/find/*.cpp) adss=("$tmp"/ads/*.h)
find_file=${finds[0]#"$tmp"/} ads_file=${adss[0]#"$tmp"/}
mkdir "$tmp/unlisted" && echo '#pragma once' >"$tmp/unlisted/x.h"
echo 'class Editor;' >>"$tmp/platform/hosts.h"
declared="platform/hosts.h:$(wc -l <"$tmp/platform/hosts.h" | tr -d ' '): declares Editor, a class of app/"
echo 'using WindowHandle = std::uintptr_t;' >>"$tmp/platform/ports.h"
handle="platform/ports.h:$(wc -l <"$tmp/platform/ports.h" | tr -d ' '): Windows in the ports"
inject find/find_state.h find/find_replace.h >/dev/null
back='"find/find_state.h" includes find/find_replace.h back'
expected=("$declared" "$handle" "$back" "$(inject "$find_file" protect/secure_document.h): \"protect/secure_document.h\""
  "$(inject "$ads_file" app/editor.h): \"app/editor.h\"" "$ads_file:$(wc -l <"$tmp/$ads_file" | tr -d ' '): \"app/editor.h\" includes" "unlisted/x.h: in no folder")

if out=$(check); then
  echo "layers_test: check-layers.sh passed with forbidden includes"; exit 1
fi
for e in "${expected[@]}"; do
  grep -qF "$e" <<<"$out" || { echo "layers_test: not named: $e"; echo "$out"; exit 1; }
done
grep -q "^check-layers: ${#expected[@]} break" <<<"$out" || { echo "layers_test: other breaks named"; echo "$out"; exit 1; }
echo "== layers_test: check-layers.sh names the ${#expected[@]} injected breaks"
