# Sourced: picks the Wine that can run here and the Windows build it runs.
# 32-bit Wine needs a kernel that runs 32-bit Linux programs; where it cannot, the same sources built for
# x86_64 run under 64-bit Wine instead (the product itself is always built for i686).
# LOCKLEAF_WINE_WHY says which exe the rings drive and why; `wine_rings_banner` prints it.
if [ -z "${LOCKLEAF_WINE:-}" ]; then
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export LOCKLEAF_WINE=/usr/lib/wine/wine LOCKLEAF_WINE_BUILD=win32 WINEARCH=win32
    export LOCKLEAF_WINE_WHY="the product (PE32) under 32-bit Wine: 32-bit Wine runs on this kernel"
  elif [ -x /usr/lib/wine/wine64 ]; then
    export LOCKLEAF_WINE=/usr/lib/wine/wine64 LOCKLEAF_WINE_BUILD=win64 WINEARCH=win64
    if "$(dirname "${BASH_SOURCE[0]}")/runs-32bit.sh"; then
      why="this kernel runs 32-bit programs, but 32-bit Wine is not installed (make deps installs it)"
    else
      why="this kernel runs no 32-bit programs"
    fi
    export LOCKLEAF_WINE_WHY="the 64-bit twin (not the product) under 64-bit Wine: $why"
  else
    export LOCKLEAF_WINE= LOCKLEAF_WINE_BUILD= LOCKLEAF_WINE_WHY="no Wine installed"
  fi
else
  export LOCKLEAF_WINE_WHY=${LOCKLEAF_WINE_WHY:-"build/$LOCKLEAF_WINE_BUILD under $LOCKLEAF_WINE, as LOCKLEAF_WINE says"}
fi
wine_rings_banner() { echo "   drives the ${LOCKLEAF_WINE_BUILD:-?} build: $LOCKLEAF_WINE_WHY"; }
export -f wine_rings_banner
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
# Without this Wine offers to install its HTML engine the first time the banner strip's control starts.
case ";${WINEDLLOVERRIDES};" in
  *mshtml=\;*) ;;
  *) export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mshtml=" ;;
esac
