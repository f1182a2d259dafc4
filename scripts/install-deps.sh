#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# fonts-thai-tlwg-ttf gives Wine a Thai face, without which Thai text shows as boxes. libssl-dev is the host
# side of the crypto port; python3-cryptography the implementation the sealed-document tests check against;
# procps gives the install test pgrep, which a minimal Debian lacks; python3-yaml reads the winget manifest back.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in cmake g++ make python3 libgtest-dev libbenchmark-dev clang libclang-rt-14-dev clang-format clang-tidy \
         g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-i686-dev mingw-w64-x86-64-dev \
         xvfb xdotool imagemagick procps zip nsis wine wine64 fonts-thai-tlwg-ttf libssl-dev python3-cryptography python3-yaml; do
  have "$p" || need+=("$p")
done
# 32-bit Wine runs only where the kernel runs 32-bit programs (then the rings test the product itself, the
# PE32); elsewhere it would break /usr/bin/wine, and 64-bit Wine tests the 64-bit build instead.
if [ "$(getconf LONG_BIT)" = 64 ] && ! have wine32:i386 && "$(dirname "$0")/runs-32bit.sh"; then
  need+=(wine32:i386)
fi
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "Installing: ${need[*]}"
if printf '%s\n' "${need[@]}" | grep -q ':i386'; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
