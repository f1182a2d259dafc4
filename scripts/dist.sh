#!/usr/bin/env bash
# The folder a Windows user copies, its zip, the setup program made from the same files, and the winget
# manifest of the two (winget/: version, default locale, installers).
#   scripts/dist.sh [build folder] [output folder]     (defaults: build/win32 dist)
# DIST_URL: the address the zip and the setup program will be published under, http(s) and ending with "/";
# the manifest downloads them from it followed by their names.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/win32}" && pwd)
out=${2:-dist}
setting() { sed -n "s/^!define $1 \"\(.*\)\"$/\1/p" "$build/setup.nsh"; }
version=$(setting VERSION)
publisher=$(setting PUBLISHER)
website=$(setting WEBSITE)
arch=win32 machine=x86
grep -q amd64 "$build/setup.nsh" && arch=win64 machine=x64
dist_url=${DIST_URL:-https://www.lockleaf.example/download/}
# The manifest writes it between double quotes: it may hold neither one nor a backslash.
if ! [[ "$dist_url" =~ ^https?://[^\"\\[:space:]]+/$ ]]; then
  echo "dist.sh: DIST_URL must be an http(s) address ending with \"/\" (got \"$dist_url\")" >&2
  exit 1
fi

rm -rf "$out" && mkdir -p "$out/lockleaf"
out=$(cd "$out" && pwd)
cp "$build/lockleaf.exe" "$out/lockleaf/"
[ -d php ] && cp -r php "$out/lockleaf/"
zip="lockleaf-$version-$arch.zip"
(cd "$out" && zip -qr "$zip" lockleaf)

# The product's setup is x86; a 64-bit build (for machines that run only 64-bit Wine) gets its twin.
setup="lockleaf-$version-setup.exe"
[ "$arch" = win64 ] && setup="lockleaf-$version-win64-setup.exe"
makensis -V2 -DBUILD="$build" -DFILES="$out/lockleaf" -DOUTFILE="$out/$setup" installer/lockleaf.nsi

# The winget manifest, in the multi-file form the winget-pkgs repository takes. winget finds the installed
# setup again by its uninstall entry, whose key is the product code; the setup's exit code 2 means a running
# copy held it off. The zip is the portable alternative.
id=Lockleaf.Lockleaf
schema=1.6.0
uninstall_key=$(sed -n 's/^!define UNINSTALL_KEY ".*\\\([^\\"]*\)"$/\1/p' installer/lockleaf.nsi)
sha256() { sha256sum "$1" | cut -d' ' -f1 | tr a-f A-F; }
site=
[[ "$website" =~ ^https?:// ]] && site=$website
mkdir -p "$out/winget"
cat >"$out/winget/$id.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.$schema.schema.json
PackageIdentifier: $id
PackageVersion: "$version"
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $schema
EOF
{
  cat <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.$schema.schema.json
PackageIdentifier: $id
PackageVersion: "$version"
PackageLocale: en-US
Publisher: "$publisher"
EOF
  [ -n "$site" ] && echo "PublisherUrl: \"$site\"" && echo "PackageUrl: \"$site\""
  cat <<EOF
PackageName: Lockleaf
License: Freeware
Copyright: "(C) $publisher"
ShortDescription: A small plain-text editor whose documents can be sealed under a password.
Description: >-
  Lockleaf is a small native Windows plain-text editor. A document saved as .txse is sealed: encrypted under
  a password you type (AES-256-GCM, PBKDF2-HMAC-SHA256). It reads and writes the Thai code page, UTF-8 and
  UTF-16, and a save never loses the file it replaces.
Moniker: lockleaf
Tags:
- editor
- text-editor
- notepad
- encryption
- password
- thai
ManifestType: defaultLocale
ManifestVersion: $schema
EOF
} >"$out/winget/$id.locale.en-US.yaml"
cat >"$out/winget/$id.installer.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.$schema.schema.json
PackageIdentifier: $id
PackageVersion: "$version"
MinimumOSVersion: 6.2.9200.0
FileExtensions:
- txs
- txse
Installers:
- Architecture: $machine
  InstallerType: nullsoft
  Scope: user
  InstallerUrl: "$dist_url$setup"
  InstallerSha256: $(sha256 "$out/$setup")
  ProductCode: "$uninstall_key"
  UpgradeBehavior: install
  ExpectedReturnCodes:
  - InstallerReturnCode: 2
    ReturnResponse: packageInUse
- Architecture: $machine
  InstallerType: zip
  NestedInstallerType: portable
  NestedInstallerFiles:
  - RelativeFilePath: lockleaf\\lockleaf.exe
    PortableCommandAlias: lockleaf
  InstallerUrl: "$dist_url$zip"
  InstallerSha256: $(sha256 "$out/$zip")
ManifestType: installer
ManifestVersion: $schema
EOF
echo "$out/lockleaf/, $out/$zip, $out/$setup and the winget manifest in $out/winget/"
