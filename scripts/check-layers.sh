#!/usr/bin/env bash
# Checks every `#include "..."` of our own folders in the sources (.h, .cpp) against the table
# "folder | holds | may include" of docs/architecture.md, the only place the layers are written down.
# Usage: scripts/check-layers.sh [tree]   (default: this repository). Exits 1 naming each break.
#
# How a row of the table reads:
#   - the first cell names the row's folders in backticks (`find/`); a file belongs to the longest
#     folder of the table its path starts with, and a file under no folder of the table is an error;
#   - the "may include" cell lists folders in backticks; a clause (split at ';') of the form
#     "`app/` only in `main_window.*`, `winmain.cpp`" allows those folders only in files whose
#     names match the globs; the word "anything" allows every folder; other words are for readers;
#   - a folder may always include itself, and an include under no folder of the table is not ours.
# A declaration of a class (`class Editor;`) counts as an include of the folder that defines the class: a
# lower layer that names an upper one's class breaks the table as much as an include would.
# The ports (platform/) say what the core wants, not how Windows does it: a Windows header, a handle (a
# Windows handle type, or one carried as uintptr_t), a structure size or a flag word (a hex constant of five
# digits or more) there is a break too. So is a file that includes one which includes the file back (or, for a
# .cpp, its own header): the one it includes would then stand both above and below it.
set -eu
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"
doc=docs/architecture.md

# build/ holds generated and downloaded sources, dot-folders are the tools'.
# shellcheck disable=SC2016 # the program is awk's
find . \( -name build -o -name '.?*' \) -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print |
  sort | xargs awk -v doc="$doc" '
function folder_of(path,   f, best) {
  best = ""
  for (f in known)
    if (index(path, f) == 1 && length(f) > length(best)) best = f
  return best
}
function backticked(s, out,   n) {  # fills out[1..n] with the `quoted` words of s
  n = 0
  while (match(s, /`[^`]+`/)) {
    out[++n] = substr(s, RSTART + 1, RLENGTH - 2)
    s = substr(s, RSTART + RLENGTH)
  }
  return n
}
function glob_matches(globs, name,   g, n, i, re) {  # globs: space-separated shell globs
  n = split(globs, g, " ")
  for (i = 1; i <= n; i++) {
    re = g[i]
    gsub(/\./, "[.]", re); gsub(/\*/, ".*", re); gsub(/\?/, ".", re)
    if (name ~ ("^" re "$")) return 1
  }
  return 0
}
function fail(msg) { print msg; errors++ }

FILENAME == doc {
  if ($0 !~ /^\|/) { in_table = 0; next }
  n = split($0, cell, "|")
  if (!in_table) {  # a header row
    in_table = 1; col = 0
    for (i = 2; i < n; i++) if (tolower(cell[i]) ~ /may include/) col = i
    next
  }
  if (!col || $0 ~ /^[-|: ]*$/) next
  nrow = backticked(cell[2], row)
  nclause = split(cell[col], clause, ";")
  for (r = 1; r <= nrow; r++) {
    if (!(row[r] in known)) nknown++
    known[row[r]] = 1
    allow[row[r], row[r]] = "*"
  }
  for (c = 1; c <= nclause; c++) {
    what = clause[c]; globs = "*"
    if ((p = index(what, "only in")) > 0) {
      ng = backticked(substr(what, p), g); globs = ""
      for (i = 1; i <= ng; i++) globs = globs " " g[i]
      what = substr(what, 1, p - 1)
    }
    if (what ~ /anything/) for (r = 1; r <= nrow; r++) allow[row[r], "*"] = globs
    nt = backticked(what, t)
    for (i = 1; i <= nt; i++) {
      if (t[i] !~ /\/$/) continue
      named[t[i]] = 1
      for (r = 1; r <= nrow; r++) allow[row[r], t[i]] = globs
    }
  }
  next
}

FNR == 1 {
  if (!tables++) {  # the table has been read
    for (f in known) if (system("test -d \"" f "\"")) fail(doc ": the table names " f ", which does not exist")
    for (f in named) if (!(f in known)) fail(doc ": " f " may be included but has no row of its own")
    if (!nknown) { fail(doc ": no table with a \"may include\" column"); exit 1 }
  }
  file = FILENAME; sub(/^\.\//, "", file)
  name = file; sub(/.*\//, "", name)
  from = folder_of(file)
  files++
  if (from == "") fail(file ": in no folder of the table in " doc)
}

from != "" && /^[ \t]*#[ \t]*include[ \t]*"/ {
  inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*/, "", inc)
  included[file, inc] = 1; includes_of[file] = includes_of[file] " " inc; include_at[file, inc] = FNR
  to = folder_of(inc)
  if (to == "") next
  includes++
  if ((from, to) in allow) globs = allow[from, to]
  else if ((from, "*") in allow) globs = allow[from, "*"]
  else { fail(file ":" FNR ": \"" inc "\": " from " may not include " to); next }
  if (!glob_matches(globs, name))
    fail(file ":" FNR ": \"" inc "\": " from " may include " to " only in" globs)
}

from == "platform/" && !/^[ \t]*\/\// && \
  (/#[ \t]*include[ \t]*<(windows|winuser|wininet|commdlg|shellapi|shlobj|commctrl)[.]h>/ ||
   /(^|[^A-Za-z0-9_])(HWND|HKEY|HINTERNET|HANDLE|HMENU|HDC|HICON|HINSTANCE|HLOCAL|DWORD|LPARAM|WPARAM|LRESULT|UINT|BOOL|uintptr_t|structSize)([^A-Za-z0-9_]|$)/ ||
   /0[xX][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]/) {
  fail(file ":" FNR ": Windows in the ports (a header, handle, structure size or flag word): " $0)
}

from != "" && /^[ \t]*(class|struct)[ \t]+[A-Za-z_][A-Za-z_0-9]*[ \t]*;/ {
  decl = $0; sub(/^[ \t]*(class|struct)[ \t]+/, "", decl); sub(/[ \t]*;.*/, "", decl)
  ndecl++; decl_name[ndecl] = decl; decl_from[ndecl] = from; decl_file[ndecl] = file ":" FNR
  decl_base[ndecl] = name
  next
}

from != "" && /^[ \t]*(class|struct)[ \t]+[A-Za-z_][A-Za-z_0-9]*([ \t]+final)?[ \t]*(:[^:]|:$|\{|$)/ {
  def = $0; sub(/^[ \t]*(class|struct)[ \t]+/, "", def); sub(/[^A-Za-z_0-9].*/, "", def)
  defined[def, from] = 1; definers[def] = definers[def] " " from
}

END {
  for (f in includes_of) {
    own = f; if (own ~ /[.]cpp$/) sub(/[.]cpp$/, ".h", own)
    n = split(includes_of[f], list, " ")
    for (i = 1; i <= n; i++)
      if (list[i] != own && ((list[i], own) in included)) {
        if (f ~ /[.]h$/ && f > list[i]) continue  # two headers that include each other: told once
        fail(f ":" include_at[f, list[i]] ": \"" list[i] "\" includes " own " back")
      }
  }
  for (d = 1; d <= ndecl; d++) {
    nf = split(definers[decl_name[d]], in_folders, " ")
    ok = nf == 0
    for (i = 1; i <= nf && !ok; i++) {
      to = in_folders[i]
      if ((decl_from[d], to) in allow) globs = allow[decl_from[d], to]
      else if ((decl_from[d], "*") in allow) globs = allow[decl_from[d], "*"]
      else continue
      ok = glob_matches(globs, decl_base[d])
    }
    if (!ok)
      fail(decl_file[d] ": declares " decl_name[d] ", a class of" definers[decl_name[d]] ", which " decl_from[d] \
        " may not include")
  }
  if (errors) { printf "check-layers: %d break(s) of the table in %s\n", errors, doc; exit 1 }
  printf "== layers: %d includes of our folders in %d files follow %s\n", includes, files, doc
}' "$doc" || exit 1
