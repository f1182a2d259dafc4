# Sourced: picks the Wine that can run here and the Windows build it runs.
# 32-bit Wine needs a kernel that runs 32-bit Linux programs; where it cannot, the same sources built for
# x86_64 run under 64-bit Wine instead (the product itself is always built for i686).
if [ -z "${LOCKLEAF_WINE:-}" ]; then
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export LOCKLEAF_WINE=/usr/lib/wine/wine LOCKLEAF_WINE_BUILD=win32 WINEARCH=win32
  elif [ -x /usr/lib/wine/wine64 ]; then
    export LOCKLEAF_WINE=/usr/lib/wine/wine64 LOCKLEAF_WINE_BUILD=win64 WINEARCH=win64
  else
    export LOCKLEAF_WINE= LOCKLEAF_WINE_BUILD=
  fi
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
# Without this Wine offers to install its HTML engine the first time the banner strip's control starts.
case ";${WINEDLLOVERRIDES};" in
  *mshtml=\;*) ;;
  *) export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mshtml=" ;;
esac
