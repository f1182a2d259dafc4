#!/usr/bin/env bash
# Draws the 19 x 18 "more" picture beside the banner strip (a framed down-pointing triangle) as a GIF.
set -euo pipefail
out=${1:-"$(dirname "$0")/../win32/res/more.gif"}
convert -size 19x18 xc:'#f4f1e8' +antialias -fill none -stroke '#b8ab85' -draw 'rectangle 0,0 18,17' \
  -stroke none -fill '#6b5a2e' -draw 'polygon 5,7 13,7 9,11' -strip -colors 8 "$out"
