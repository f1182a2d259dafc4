#!/usr/bin/env bash
# Saving a sealed document under Wine with CNG: the first save (key derivation) and a repeated F2 (the kept
# key), each against a plain save of the same text in the same run.   bench/sealed_bench.sh [runs] [MiB]
source "$(dirname "$0")/../tests/e2e/lib.sh"
e2e_setup
mkdir -p "$WINEPREFIX/drive_c/docs"
cp "$BUILD/sealed_bench.exe" "$APP_DIR/"
(cd "$APP_DIR" && wine_run sealed_bench.exe 'C:\docs' "${1:-5}" "${2:-1}" | tr -d '\r')
