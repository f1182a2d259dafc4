#!/usr/bin/env bash
# scripts/check-winget.py passes on the winget manifest scripts/dist.sh writes for a build (published under
# a DIST_URL of our own), then fails naming each fault put into a copy: a hash one digit off, an installer
# changed after the manifest, required fields gone or misspelt, the three files' versions apart, a version
# that is not the build's or not a string, the setup's scope, upgrade and product code wrong, the zip's
# program not where the manifest says, the wrong architecture, an address elsewhere. dist.sh refuses a
# DIST_URL that does not end with "/".   tests/check_winget_test.sh [build folder]   (default build/win32)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$root/build/win32}" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
url=https://downloads.example.org/lockleaf/
DIST_URL=$url "$root/scripts/dist.sh" "$build" "$tmp/made" >/dev/null
setup=$(cd "$tmp/made" && ls lockleaf-*setup.exe)
zip=$(cd "$tmp/made" && ls lockleaf-*.zip)
id=Lockleaf.Lockleaf
check() { "$root/scripts/check-winget.py" "$tmp/dist" "$build" "--base-url=$url"; }
fresh() { rm -rf "$tmp/dist" && cp -r "$tmp/made" "$tmp/dist"; }
# patch FILE PYTHON: runs with `text` the text of winget/FILE (re imported); writes it back
patch() {
  python3 - "$tmp/dist/winget/$1" "$2" <<'EOF'
import re, sys
path, code = sys.argv[1], sys.argv[2]
text = open(path, encoding="utf-8").read()
before = text
exec(code)
if text == before:
    sys.exit(f"check_winget_test: the patch changed nothing in {path}: {code}")
open(path, "w", encoding="utf-8").write(text)
EOF
}
fails() {  # fails WHAT EXPECTED: the check fails, naming EXPECTED
  local out
  if out=$(check); then echo "check_winget_test: passed with $1"; exit 1; fi
  grep -qF "$2" <<<"$out" || { echo "check_winget_test: $1 not named ($2):"; echo "$out"; exit 1; }
}
installer=$id.installer.yaml
locale=$id.locale.en-US.yaml
version=$(sed -n 's/^PackageVersion: "\(.*\)"$/\1/p' "$tmp/made/winget/$id.yaml")
[ -n "$version" ] || { echo "check_winget_test: no quoted PackageVersion in $id.yaml"; exit 1; }

fresh
check >/dev/null || { echo "check_winget_test: the manifest dist.sh wrote fails"; check; exit 1; }
grep -qF "InstallerUrl: \"$url$setup\"" "$tmp/made/winget/$installer" ||
  { echo "check_winget_test: the setup's address is not under DIST_URL"; exit 1; }

# The hashes: one digit off, and an installer that changed after the manifest was written.
fresh && patch "$installer" '
h = re.search(r"InstallerSha256: (\w+)", text).group(1)
text = text.replace(h, h[:-1] + ("1" if h[-1] == "0" else "0"), 1)'
fails "the setup's hash one digit off" "InstallerSha256"
fails "the setup's hash one digit off" "is not the SHA-256 of $setup"
fresh && echo >>"$tmp/dist/$zip"
fails "the zip changed after the manifest" "is not the SHA-256 of $zip"

# Fields missing, misspelt or of another type, and the files apart.
fresh && patch "$locale" 'text = re.sub(r"(?m)^ShortDescription: .*\n", "", text)'
fails "no ShortDescription" "$locale: missing ShortDescription"
fresh && patch "$installer" 'text = text.replace("InstallerSha256", "InstallerSha265", 1)'
fails "a misspelt InstallerSha256" "unknown field InstallerSha265"
fresh && patch "$installer" 'text = re.sub(r"(?m)^  UpgradeBehavior: .*\n", "", text)'
fails "no UpgradeBehavior" "missing UpgradeBehavior"
fresh && patch "$installer" 'text = text.replace("ManifestType: installer", "ManifestType: version")'
fails "the installer manifest typed as a version" "ManifestType is 'version', expected 'installer'"
fresh && rm "$tmp/dist/winget/$locale"
fails "no default locale" "missing $locale"
fresh && patch "$locale" 'text = re.sub(r"(?m)^ManifestVersion: .*$", "ManifestVersion: 1.5.0", text)'
fails "the locale of another ManifestVersion" "$locale: ManifestVersion is '1.5.0'"
fresh && for f in "$id.yaml" "$locale" "$installer"; do
  patch "$f" "text = text.replace('PackageVersion: \"$version\"', 'PackageVersion: \"0.$version\"')"
done
fails "a version not the build's" "PackageVersion is '0.$version', expected '$version' (the built version)"
fresh && patch "$id.yaml" "text = text.replace('PackageVersion: \"$version\"', 'PackageVersion: $version')"
fails "a version YAML reads as a number" "PackageVersion must be a string"

# What winget needs of the setup program and of the zip.
fresh && patch "$installer" 'text = text.replace("Scope: user", "Scope: machine")'
fails "the setup installed per machine" "Scope is 'machine', expected 'user'"
fresh && patch "$installer" 'text = re.sub(r"(?m)^(  ProductCode: \")", r"\1Other ", text)'
fails "a product code that is not the uninstall entry's key" "(the key of the setup's uninstall entry)"
fresh && patch "$installer" 'text = text.replace("InstallerType: nullsoft", "InstallerType: exe")'
fails "the setup as a plain exe" "Installers must be the setup program (nullsoft) and the zip"
fresh && patch "$installer" 'text = text.replace("Path: lockleaf\\lockleaf.exe", "Path: lockleaf.exe")'
fails "the program at the zip's top" "does not hold RelativeFilePath 'lockleaf.exe'"
fresh && patch "$installer" 'text = re.sub(r"(?m)^  NestedInstallerType: .*\n", "", text)'
fails "the zip without its nested type" "missing NestedInstallerType"
fresh && patch "$installer" '
other = {"86": "64", "64": "86"}
text = re.sub(r"Architecture: x(86|64)", lambda m: "Architecture: x" + other[m.group(1)], text)'
fails "the other architecture" "(the build's)"
fresh && patch "$installer" 'text = text.replace("downloads.example.org", "mirror.example.org")'
fails "an address elsewhere" "is not under '$url'"
fresh && patch "$installer" "text = text.replace('$zip\"', 'lockleaf.zip\"')"
fails "an address naming no file made" "InstallerUrl names 'lockleaf.zip', which is not in"

if out=$(DIST_URL=${url%/} "$root/scripts/dist.sh" "$build" "$tmp/bad" 2>&1); then
  echo "check_winget_test: dist.sh took a DIST_URL without a final \"/\""; exit 1
fi
grep -qF 'DIST_URL must be an http(s) address ending with "/"' <<<"$out" ||
  { echo "check_winget_test: dist.sh's refusal does not say why: $out"; exit 1; }
echo "check_winget_test: check-winget.py names every fault put into the manifest of $build"
