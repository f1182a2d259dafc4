#!/usr/bin/env python3
"""Checks the winget manifest that scripts/dist.sh writes against the files it describes and the build.

  scripts/check-winget.py DIST BUILD [--base-url=URL]

DIST is dist.sh's output folder (the manifest in DIST/winget/, the installers beside it), BUILD the build
folder it packed. The three files must be the multi-file form winget takes: <Id>.yaml (version),
<Id>.locale.<locale>.yaml (the default locale) and <Id>.installer.yaml, each with the keys its schema
requires, no key it does not know, string values where it wants strings, and the same PackageIdentifier,
PackageVersion and ManifestVersion. PackageVersion is the build's version and Publisher its publisher. The
installers are the setup program (nullsoft, per user, upgraded by installing over it, its ProductCode the key
of the uninstall entry installer/lockleaf.nsi writes) and the zip (a portable lockleaf.exe that the zip
holds); each InstallerSha256 is the SHA-256 of the file its InstallerUrl names, found in DIST, and the
Architecture is that of the exe and of the setup program. With --base-url, every InstallerUrl starts with it.
Exits 1 naming every fault.
"""
import hashlib
import io
import os
import re
import struct
import sys
import zipfile

import yaml

ID_PATTERN = r"^[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}){1,7}$"
VERSION_PATTERN = r"^[^\\/:*?\"<>|\x01-\x1f]+$"
MANIFEST_VERSION_PATTERN = r"^(0|[1-9][0-9]{0,4})(\.(0|[1-9][0-9]{0,4})){2}$"
LOCALE_PATTERN = r"^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$"
URL_PATTERN = r"^[Hh][Tt][Tt][Pp][Ss]?://.+$"
SHA256_PATTERN = r"^[A-Fa-f0-9]{64}$"
MACHINES = {0x14C: "x86", 0x8664: "x64", 0xAA64: "arm64"}

# The keys each manifest type knows (schema 1.6.0), and those it requires.
VERSION_KEYS = {"PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"}
LOCALE_KEYS = set("""PackageIdentifier PackageVersion PackageLocale Publisher PublisherUrl
    PublisherSupportUrl PrivacyUrl Author PackageName PackageUrl License LicenseUrl Copyright CopyrightUrl
    ShortDescription Description Moniker Tags Agreements ReleaseNotes ReleaseNotesUrl PurchaseUrl
    InstallationNotes Documentations Icons ManifestType ManifestVersion""".split())
LOCALE_REQUIRED = set("""PackageIdentifier PackageVersion PackageLocale Publisher PackageName License
    ShortDescription ManifestType ManifestVersion""".split())
INSTALLER_ITEM_KEYS = set("""InstallerLocale Platform MinimumOSVersion Architecture InstallerType
    NestedInstallerType NestedInstallerFiles Scope InstallerUrl InstallerSha256 SignatureSha256 InstallModes
    InstallerSwitches InstallerSuccessCodes ExpectedReturnCodes UpgradeBehavior Commands Protocols
    FileExtensions Dependencies PackageFamilyName ProductCode Capabilities RestrictedCapabilities Markets
    InstallerAbortsTerminal ReleaseDate InstallLocationRequired RequireExplicitUpgrade DisplayInstallWarnings
    UnsupportedOSArchitectures UnsupportedArguments AppsAndFeaturesEntries ElevationRequirement
    InstallationMetadata""".split())
# Every installer's key may also stand at the top, for all installers, except what identifies one file.
ONE_FILE_KEYS = {"Architecture", "InstallerUrl", "InstallerSha256", "SignatureSha256"}
INSTALLER_KEYS = INSTALLER_ITEM_KEYS - ONE_FILE_KEYS \
    | {"PackageIdentifier", "PackageVersion", "Channel", "Installers", "ManifestType", "ManifestVersion"}
INSTALLER_TYPES = {"msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa", "portable"}
RETURN_RESPONSES = set("""packageInUse packageInUseByApplication installInProgress fileInUse missingDependency
    diskFull insufficientMemory invalidParameter noNetwork contactSupport rebootRequiredToFinish
    rebootRequiredForInstall rebootInitiated cancelledByUser alreadyInstalled downgrade blockedByPolicy
    systemNotSupported custom""".split())


class Check:
    def __init__(self):
        self.faults = []

    def fault(self, text):
        if text not in self.faults:  # a missing key is found by the key list and by its value's check
            self.faults.append(text)

    def string(self, where, data, key, pattern=None, low=1, high=None):
        """The value of a key that must be a string (matching the pattern, of a length in the bounds)."""
        if key not in data:
            self.fault(f"{where}: missing {key}")
            return None
        value = data[key]
        if not isinstance(value, str):
            self.fault(f"{where}: {key} must be a string, not {type(value).__name__} ({value!r})")
            return None
        if pattern and not re.match(pattern, value):
            self.fault(f"{where}: {key} {value!r} is not of the form winget takes")
        if len(value) < low or (high and len(value) > high):
            self.fault(f"{where}: {key} {value!r} must be {low} to {high or 'any number of'} characters")
        return value

    def equal(self, where, key, got, expected, why=""):
        if got is not None and got != expected:
            self.fault(f"{where}: {key} is {got!r}, expected {expected!r}{why}")

    def keys(self, where, data, known, required):
        for key in sorted(set(data) - known):
            self.fault(f"{where}: unknown field {key}")
        for key in sorted(required - set(data)):
            self.fault(f"{where}: missing {key}")


def nsh_setting(build, name):
    text = open(os.path.join(build, "setup.nsh"), encoding="utf-8").read()
    found = re.search(r'^!define %s "(.*)"$' % name, text, re.M)
    return found.group(1) if found else None


def nsi_uninstall_entry(root):
    """The uninstall entry's key and DisplayName, as the setup program writes them."""
    text = open(os.path.join(root, "installer", "lockleaf.nsi"), encoding="utf-8").read()
    key = re.search(r'^!define UNINSTALL_KEY ".*\\([^\\"]+)"$', text, re.M)
    name = re.search(r'^\s*WriteRegStr HKCU "\$\{UNINSTALL_KEY\}" "DisplayName" "([^"]+)"$', text, re.M)
    return (key.group(1) if key else None), (name.group(1) if name else None)


def pe_machine(data):
    """The architecture of a PE image's bytes, or None when they are not one."""
    if data[:2] != b"MZ" or len(data) < 0x40:
        return None
    nt = struct.unpack_from("<I", data, 0x3C)[0]
    if data[nt:nt + 4] != b"PE\0\0":
        return None
    return MACHINES.get(struct.unpack_from("<H", data, nt + 4)[0], "unknown")


def load(check, path):
    try:
        with open(path, encoding="utf-8") as f:
            data = yaml.safe_load(f)
    except (OSError, yaml.YAMLError) as e:
        check.fault(f"{os.path.basename(path)}: cannot be read: {e}")
        return None
    if not isinstance(data, dict):
        check.fault(f"{os.path.basename(path)}: not a mapping of keys")
        return None
    return data


def check_installer(check, where, item, top, dist, machine, base_url, product_code):
    """One entry of Installers: its file, its hash, its architecture, and what its type needs."""
    check.keys(where, item, INSTALLER_ITEM_KEYS, {"Architecture", "InstallerUrl", "InstallerSha256"})
    kind = item.get("InstallerType", top.get("InstallerType"))
    if not isinstance(kind, str) or kind not in INSTALLER_TYPES:
        check.fault(f"{where}: InstallerType {kind!r} is none winget knows")
    arch = check.string(where, item, "Architecture")
    check.equal(where, "Architecture", arch, machine, " (the build's)")
    url = check.string(where, item, "InstallerUrl", URL_PATTERN, high=2048)
    digest = check.string(where, item, "InstallerSha256", SHA256_PATTERN)
    if url is None:
        return kind, None
    if base_url and not url.startswith(base_url):
        check.fault(f"{where}: InstallerUrl {url!r} is not under {base_url!r}")
    name = url.rsplit("/", 1)[-1]
    path = os.path.join(dist, name)
    if not name or not os.path.isfile(path):
        check.fault(f"{where}: InstallerUrl names {name!r}, which is not in {dist}")
        return kind, None
    data = open(path, "rb").read()
    actual = hashlib.sha256(data).hexdigest().upper()
    if digest is not None and digest.upper() != actual:
        check.fault(f"{where}: InstallerSha256 {digest} is not the SHA-256 of {name} ({actual})")

    def value(key):  # the installer's own, else the one for all installers
        return item.get(key, top.get(key))

    def must(key, expected, why=""):
        if value(key) is None:
            check.fault(f"{where}: missing {key}")
        check.equal(where, key, value(key), expected, why)

    if kind == "nullsoft":
        must("Scope", "user", " (the setup installs per user)")
        must("UpgradeBehavior", "install", " (the setup upgrades in place)")
        must("ProductCode", product_code, " (the key of the setup's uninstall entry)")
        check.equal(where, "Architecture", arch, pe_machine(data), f" ({name}'s own)")
        for code in value("ExpectedReturnCodes") or []:
            number = code.get("InstallerReturnCode") if isinstance(code, dict) else None
            if not isinstance(number, int) or number == 0 \
                    or code.get("ReturnResponse") not in RETURN_RESPONSES:
                check.fault(f"{where}: ExpectedReturnCodes entry {code!r} is not a code and a known response")
    elif kind == "zip":
        must("NestedInstallerType", "portable")
        files = value("NestedInstallerFiles")
        if not isinstance(files, list) or len(files) != 1 or not isinstance(files[0], dict):
            check.fault(f"{where}: NestedInstallerFiles must name the one program, got {files!r}")
            return kind, name
        check.keys(where + " NestedInstallerFiles", files[0], {"RelativeFilePath", "PortableCommandAlias"},
                   {"RelativeFilePath"})
        inner = check.string(where, files[0], "RelativeFilePath", high=512)
        if inner is None:
            return kind, name
        if re.split(r"[\\/]", inner)[-1] != "lockleaf.exe":
            check.fault(f"{where}: RelativeFilePath {inner!r} is not lockleaf.exe")
        try:
            with zipfile.ZipFile(io.BytesIO(data)) as z:
                exe = z.read(inner.replace("\\", "/"))
        except (zipfile.BadZipFile, KeyError) as e:
            check.fault(f"{where}: {name} does not hold RelativeFilePath {inner!r}: {e}")
            return kind, name
        check.equal(where, "Architecture", arch, pe_machine(exe), f" ({inner}'s own)")
    return kind, name


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--base-url")]
    base_url = next((a.split("=", 1)[1] for a in argv[1:] if a.startswith("--base-url=")), None)
    if len(args) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    dist, build = args
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = os.path.join(dist, "winget")
    check = Check()
    version = nsh_setting(build, "VERSION")
    publisher = nsh_setting(build, "PUBLISHER")
    machine = "x64" if "amd64" in (nsh_setting(build, "TARGET") or "") else "x86"
    product_code, display_name = nsi_uninstall_entry(root)

    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    versions = [n for n in names
                if n.endswith(".yaml") and not re.search(r"\.(locale\..+|installer)\.yaml$", n)]
    if len(versions) != 1:
        check.fault(f"{folder}: expected one version manifest <Id>.yaml, found {versions}")
        return report(check, folder)
    package_id = versions[0][:-len(".yaml")]
    top = load(check, os.path.join(folder, versions[0]))
    if top is None:
        return report(check, folder)
    where = versions[0]
    check.keys(where, top, VERSION_KEYS, VERSION_KEYS)
    check.equal(where, "ManifestType", top.get("ManifestType"), "version")
    check.string(where, top, "PackageIdentifier", ID_PATTERN, high=128)
    check.equal(where, "PackageIdentifier", top.get("PackageIdentifier"), package_id, " (its file's name)")
    check.string(where, top, "PackageVersion", VERSION_PATTERN, high=128)
    check.equal(where, "PackageVersion", top.get("PackageVersion"), version, " (the built version)")
    check.string(where, top, "ManifestVersion", MANIFEST_VERSION_PATTERN)
    locale = check.string(where, top, "DefaultLocale", LOCALE_PATTERN, high=20)

    expected = {f"{package_id}.yaml", f"{package_id}.locale.{locale}.yaml", f"{package_id}.installer.yaml"}
    for name in sorted(set(names) - expected):
        check.fault(f"{folder}: {name} is none of {sorted(expected)}")
    manifests = {}
    for kind, name in (("defaultLocale", f"{package_id}.locale.{locale}.yaml"),
                       ("installer", f"{package_id}.installer.yaml")):
        if name not in names:
            check.fault(f"{folder}: missing {name}")
            continue
        data = load(check, os.path.join(folder, name))
        if data is None:
            continue
        manifests[kind] = data
        check.equal(name, "ManifestType", data.get("ManifestType"), kind)
        for key in ("PackageIdentifier", "PackageVersion", "ManifestVersion"):
            if check.string(name, data, key) is not None and isinstance(top.get(key), str):
                check.equal(name, key, data[key], top[key], f" (as in {where})")

    data = manifests.get("defaultLocale")
    if data is not None:
        where = f"{package_id}.locale.{locale}.yaml"
        check.keys(where, data, LOCALE_KEYS, LOCALE_REQUIRED)
        check.equal(where, "PackageLocale", check.string(where, data, "PackageLocale"), locale,
                    " (the DefaultLocale)")
        check.equal(where, "Publisher", check.string(where, data, "Publisher", low=2, high=256), publisher,
                    " (the build's, which the uninstall entry shows)")
        check.equal(where, "PackageName", check.string(where, data, "PackageName", low=2, high=256),
                    display_name, " (the uninstall entry's DisplayName)")
        check.string(where, data, "License", low=3, high=512)
        check.string(where, data, "ShortDescription", low=3, high=256)
        for key in ("PublisherUrl", "PackageUrl", "LicenseUrl", "PrivacyUrl", "PublisherSupportUrl"):
            if key in data:
                check.string(where, data, key, URL_PATTERN, high=2048)
        tags = data.get("Tags", [])
        if not isinstance(tags, list) or not all(isinstance(t, str) and 1 <= len(t) <= 40 for t in tags) \
                or len(set(tags)) != len(tags) or len(tags) > 16:
            check.fault(f"{where}: Tags must be at most 16 distinct strings of 1 to 40 characters")

    data = manifests.get("installer")
    if data is not None:
        where = f"{package_id}.installer.yaml"
        check.keys(where, data, INSTALLER_KEYS,
                   {"PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"})
        if "MinimumOSVersion" in data:
            check.string(where, data, "MinimumOSVersion", r"^\d+(\.\d+){0,3}$")
        items = data.get("Installers")
        if not isinstance(items, list) or not items:
            check.fault(f"{where}: Installers must be a list of at least one installer")
            items = []
        kinds = []
        for i, item in enumerate(items):
            if not isinstance(item, dict):
                check.fault(f"{where}: Installers[{i}] is not a mapping of keys")
                continue
            kinds.append(check_installer(check, f"{where} Installers[{i}]", item, data, dist, machine,
                                         base_url, product_code)[0])
        if sorted(k for k in kinds if isinstance(k, str)) != ["nullsoft", "zip"]:
            check.fault(f"{where}: Installers must be the setup program (nullsoft) and the zip, got {kinds}")
    return report(check, folder)


def report(check, folder):
    if check.faults:
        for f in check.faults:
            print(f"check-winget: {f}")
        return 1
    print(f"check-winget: {folder}: the manifest describes the built installers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
