"""Checks what Ambrelith installs, packages and compiles for other systems.

packaging.py install BUILD_DIR   cmake --install: the exact files, validated desktop entry and
                                 AppStream metadata; theme, Windows and macOS icons true to the
                                 pixel maps
packaging.py deb BUILD_DIR       cpack -G DEB: control fields, file list, stripped, lintian
packaging.py rc BUILD_DIR        the Windows resource script compiled by windres: icon, version,
                                 manifest
packaging.py exe BUILD_DIR       the cross-built ambrelith.exe (Windows build): x64, GUI, only
                                 system DLLs imported, and the same resources as compiled into it
"""

import glob
import gzip
import io
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

from PIL import Image

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
APP_ID = "works.tamberlune.Ambrelith"
ICON_SIZES = (16, 32, 64, 128, 256)

EXPECTED_FILES = {
    "bin/ambrelith",
    f"share/applications/{APP_ID}.desktop",
    f"share/metainfo/{APP_ID}.metainfo.xml",
    "share/doc/ambrelith/copyright",
    "share/doc/ambrelith/changelog.gz",
    "share/man/man1/ambrelith.1.gz",
} | {f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png" for n in ICON_SIZES}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def pixel_map(size):
    with open(os.path.join(SOURCE, "resources", f"heart{size}.txt")) as f:
        return f.read().split()


def check_heart(image, name):
    """The image must be a pixel map enlarged by repetition: red, grey, or transparent."""
    image = image.convert("RGBA")
    size = image.width
    rows = pixel_map(16 if size == 16 else 32)
    scale = size // len(rows)
    if not check(image.size == (size, size) and scale * len(rows) == size,
                 f"{name}: {image.size} is no whole enlargement of a pixel map"):
        return
    colours = {"R": (255, 0, 0, 255), "g": (128, 128, 128, 255)}
    for y in range(size):
        for x in range(size):
            drawn = image.getpixel((x, y))
            wanted = rows[y // scale][x // scale]
            ok = drawn[3] == 0 if wanted == "." else drawn == colours[wanted]
            if not check(ok, f"{name}: pixel ({x}, {y}) is {drawn}, the map says {wanted!r}"):
                return


def files_under(folder):
    return {os.path.relpath(os.path.join(root, f), folder)
            for root, _, names in os.walk(folder) for f in names}


def check_install(build):
    with tempfile.TemporaryDirectory() as prefix:
        run("cmake", "--install", build, "--prefix", prefix, check=True)
        installed = files_under(prefix)
        check(installed == EXPECTED_FILES,
              f"installed files differ: extra {sorted(installed - EXPECTED_FILES)}, "
              f"missing {sorted(EXPECTED_FILES - installed)}")

        desktop = os.path.join(prefix, f"share/applications/{APP_ID}.desktop")
        result = run("desktop-file-validate", desktop)
        check(result.returncode == 0 and not result.stdout.strip(),
              f"desktop-file-validate: {result.stdout}{result.stderr}")
        with open(desktop) as f:
            entry = dict(line.strip().split("=", 1) for line in f if "=" in line)
        for key in ("Name", "Comment", "Exec", "Icon", "Terminal", "Categories", "Keywords"):
            check(entry.get(key), f"desktop entry has no {key}")
        check(entry.get("Icon") == APP_ID and entry.get("Terminal") == "false",
              "desktop entry: Icon must be the application id and Terminal false")

        metainfo = os.path.join(prefix, f"share/metainfo/{APP_ID}.metainfo.xml")
        result = run("appstreamcli", "validate", "--no-net", "--explain", metainfo)
        problems = [line for line in result.stdout.splitlines()
                    if line.startswith(("E:", "W:"))]
        check(result.returncode == 0 and not problems,
              f"appstreamcli validate: {result.stdout}{result.stderr}")
        with open(metainfo) as f:
            text = f.read()
        # The project has no web site: a software centre would show a broken link or picture.
        check("://" not in text, "metainfo names a web address")
        for needle in (f"<id>{APP_ID}</id>", 'release version="1.0.0.0"',
                       f'<launchable type="desktop-id">{APP_ID}.desktop</launchable>',
                       "<content_rating", "<project_license>", "<developer_name>"):
            check(needle in text, f"metainfo lacks {needle}")

        for n in ICON_SIZES:
            name = f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png"
            with Image.open(os.path.join(prefix, name)) as image:
                check(image.size == (n, n), f"{name} is {image.size}")
                check_heart(image, name)

        with gzip.open(os.path.join(prefix, "share/doc/ambrelith/changelog.gz"), "rt") as f:
            check(f.readline().startswith("ambrelith (1.0.0.0) "),
                  "the change log does not start with this version")

    # The Windows icon: the two maps as drawn, 16 colours with a transparency mask.
    with Image.open(os.path.join(build, "resources", "heart.ico")) as icon:
        check(sorted(icon.info.get("sizes", ())) == [(16, 16), (32, 32)],
              f"heart.ico holds sizes {icon.info.get('sizes')}")
        for size in (16, 32):
            icon.size = (size, size)
            check_heart(icon.copy(), f"heart.ico {size} x {size}")
    with open(os.path.join(build, "resources", "heart.ico"), "rb") as f:
        header = f.read(6 + 16 * 2)
    for entry in range(2):
        colours, _, planes, bits = struct.unpack("<BBHH", header[6 + 16 * entry + 2:][:6])
        check((colours, planes, bits) == (16, 1, 4),
              f"heart.ico entry {entry}: {colours} colours, {bits} bits a pixel")

    # The macOS icon, built beside the others: one PNG entry a size.
    with open(os.path.join(build, "resources", "heart.icns"), "rb") as f:
        data = f.read()
    check(data[:4] == b"icns" and struct.unpack(">I", data[4:8])[0] == len(data),
          "heart.icns has no valid header")
    sizes, at = [], 8
    while at < len(data):
        kind, length = struct.unpack(">4sI", data[at:at + 8])
        with Image.open(io.BytesIO(data[at + 8:at + length])) as image:
            sizes.append(image.width)
            check_heart(image, f"heart.icns {kind.decode()}")
        at += length
    check(sorted(sizes) == list(ICON_SIZES), f"heart.icns holds sizes {sizes}")


def check_deb(build):
    with tempfile.TemporaryDirectory() as out:
        run("cpack", "-G", "DEB", "-B", out, "--config",
            os.path.join(build, "CPackConfig.cmake"), check=True)
        packages = glob.glob(os.path.join(out, "*.deb"))
        if not check(len(packages) == 1, f"cpack made {packages}"):
            return
        deb = packages[0]
        fields = {}
        for line in run("dpkg-deb", "-f", deb, check=True).stdout.splitlines():
            if ":" in line and not line.startswith(" "):
                key, value = line.split(":", 1)
                fields[key] = value.strip()
        check(fields.get("Package") == "ambrelith", f"Package: {fields.get('Package')}")
        check(fields.get("Version") == "1.0.0.0", f"Version: {fields.get('Version')}")
        check(fields.get("Section") == "science", f"Section: {fields.get('Section')}")
        check("<" in fields.get("Maintainer", ""), f"Maintainer: {fields.get('Maintainer')}")
        check(fields.get("Recommends") == "qt6-wayland", f"Recommends: {fields.get('Recommends')}")
        check("Homepage" not in fields, f"Homepage: {fields.get('Homepage')}, which does not exist")
        check(fields.get("Description", "").startswith("see which ABO"),
              f"Description: {fields.get('Description')}")
        depends = [d.split()[0] for d in fields.get("Depends", "").split(", ")]
        for needed in ("fonts-comic-neue", "fonts-liberation2", "culmus", "libqt6widgets6",
                       "libc6"):
            check(needed in depends, f"Depends lacks {needed}: {fields.get('Depends')}")
        # The program uses Qt's public interface only: it needs Qt's libraries from some version
        # on, not the one exact Qt build that a use of Qt's private interface would tie it to.
        check("qt6-base-abi (=" not in fields.get("Depends", ""),
              f"Depends ties the program to one Qt build: {fields.get('Depends')}")

        listing = run("dpkg-deb", "-c", deb, check=True).stdout.splitlines()
        packaged = {line.split()[-1][len("./usr/"):] for line in listing
                    if not line.startswith("d")}
        check(packaged == EXPECTED_FILES,
              f"package files differ: extra {sorted(packaged - EXPECTED_FILES)}, "
              f"missing {sorted(EXPECTED_FILES - packaged)}")

        with tempfile.TemporaryDirectory() as tree:
            run("dpkg-deb", "-x", deb, tree, check=True)
            sections = run("readelf", "-S", os.path.join(tree, "usr/bin/ambrelith")).stdout
            check(".symtab" not in sections, "the packaged program is not stripped")

        result = run("lintian", "--no-tag-display-limit", deb)
        for line in result.stdout.splitlines():
            if line.startswith("W:"):
                print("lintian warning:", line)
        errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
        check(not errors, "lintian errors:\n" + "\n".join(errors))


def resources(data):
    """The entries of a compiled .res file: (type, name, payload)."""
    def read_id(at):
        if data[at:at + 2] == b"\xff\xff":
            return struct.unpack("<H", data[at + 2:at + 4])[0], at + 4
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[at:end].decode("utf-16-le"), end + 2

    at = 0
    while at < len(data):
        size, header = struct.unpack("<II", data[at:at + 8])
        kind, next_at = read_id(at + 8)
        name, _ = read_id(next_at)
        payload = data[at + header:at + header + size]
        if size:
            yield kind, name, payload
        at += (header + size + 3) & ~3


def check_rc(build):
    rc = os.path.join(build, "resources", "ambrelith.rc")
    with tempfile.TemporaryDirectory() as out:
        res = os.path.join(out, "ambrelith.res")
        result = run("x86_64-w64-mingw32-windres", "--preprocessor=cpp",
                     "--preprocessor-arg=-P", rc, "-O", "res", "-o", res)
        if not check(result.returncode == 0, f"windres failed: {result.stderr}"):
            return
        with open(res, "rb") as f:
            check_resources(list(resources(f.read())))


def check_resources(entries):
    """The program's resources: heart icon, version record and manifest, as (type, name, data)."""
    rt_icon, rt_group_icon, rt_version, rt_manifest = 3, 14, 16, 24
    icons = [payload for kind, _, payload in entries if kind == rt_icon]
    shapes = sorted(struct.unpack("<IiiHH", p[:16])[1:5] for p in icons)
    # width, doubled height (colour and mask), planes, bits a pixel
    check(shapes == [(16, 32, 1, 4), (32, 64, 1, 4)], f"icon images: {shapes}")
    groups = [(name, payload) for kind, name, payload in entries if kind == rt_group_icon]
    if check(len(groups) == 1, "no icon group, or more than one"):
        name, group = groups[0]
        # Icon 1 is the one Windows shows for the program: its first group.
        check(name == 1, f"the icon group is {name!r}, not 1")
        count = struct.unpack("<H", group[4:6])[0]
        members = []
        for i in range(count):
            width, height, colours, _, _, bits, _, _ = struct.unpack(
                "<BBBBHHIH", group[6 + 14 * i:][:14])
            members.append((width, height, colours, bits))
        check(sorted(members) == [(16, 16, 16, 4), (32, 32, 16, 4)],
              f"icon group (width, height, colours, bits): {members}")

    versions = [payload for kind, _, payload in entries if kind == rt_version]
    if check(len(versions) == 1, "no version record"):
        record = versions[0]
        fixed = record.find(struct.pack("<I", 0xFEEF04BD))
        numbers = struct.unpack("<IIII", record[fixed + 8:fixed + 24])
        check(numbers == (1 << 16, 0, 1 << 16, 0),
              "version numbers " + " ".join(f"{n:#x}" for n in numbers))
        for text in ("FileVersion", "ProductVersion", "040904B0"):
            check(text.encode("utf-16-le") in record, f"version record lacks {text}")
        check(record.count("1.00\0".encode("utf-16-le")) == 2, "version text is not 1.00 twice")
        check(struct.pack("<HH", 1033, 1200) in record, "no translation 1033, 1200")

    manifests = [(name, payload) for kind, name, payload in entries if kind == rt_manifest]
    if check(len(manifests) == 1 and manifests[0][0] == 1,
             f"manifests {[name for name, _ in manifests]}, not one of id 1"):
        check_manifest(manifests[0][1])


def check_manifest(payload):
    """Common controls 6 and per-monitor DPI awareness v2, with the older flag beside it."""
    try:
        root = ElementTree.fromstring(payload)
    except ElementTree.ParseError as error:
        check(False, f"the manifest is no XML: {error}")
        return
    asm_v1 = "{urn:schemas-microsoft-com:asm.v1}"
    controls = [identity.attrib for identity in root.iter(f"{asm_v1}assemblyIdentity")
                if identity.get("name") == "Microsoft.Windows.Common-Controls"]
    check(len(controls) == 1 and controls[0].get("version") == "6.0.0.0"
          and controls[0].get("publicKeyToken") == "6595b64144ccf1df",
          f"common controls dependency: {controls}")
    awareness = [e.text for e in root.iter(
        "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")]
    check(awareness == ["PerMonitorV2"], f"dpiAwareness: {awareness}")
    aware = [e.text for e in root.iter(
        "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")]
    check(aware == ["true/pm"], f"dpiAware: {aware}")


# What every Windows system has; anything else (the MinGW runtime's libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll) would have to be shipped beside the program.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "advapi32.dll", "shell32.dll",
    "ole32.dll", "oleaut32.dll", "oleacc.dll", "uxtheme.dll", "dwmapi.dll", "shcore.dll",
    "msvcrt.dll", "comdlg32.dll", "imm32.dll", "version.dll", "shlwapi.dll", "uiautomationcore.dll",
}


class PortableExecutable:
    """The parts of a PE image the checks read: header fields, imports, resources."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack("<I", data[0x3C:0x40])[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack(
            "<HHIIIHH", data[pe + 4:pe + 24])
        optional = pe + 24
        self.magic = struct.unpack("<H", data[optional:optional + 2])[0]
        self.subsystem = struct.unpack("<H", data[optional + 68:optional + 70])[0]
        directories = optional + (112 if self.magic == 0x20B else 96)
        self.directories = [struct.unpack("<II", data[directories + 8 * i:][:8])
                            for i in range(16)]
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            virtual_size, address, raw_size, raw_at = struct.unpack("<IIII", data[at + 8:at + 24])
            self.sections.append((address, max(virtual_size, raw_size), raw_at))

    def at(self, rva):
        for address, size, raw_at in self.sections:
            if address <= rva < address + size:
                return raw_at + rva - address
        raise ValueError(f"address {rva:#x} in no section")

    def string(self, rva):
        start = self.at(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        rva, _ = self.directories[1]
        names, at = [], self.at(rva)
        while True:
            name_rva = struct.unpack("<I", self.data[at + 12:at + 16])[0]
            if name_rva == 0:
                return names
            names.append(self.string(name_rva))
            at += 20

    def resources(self):
        """(type, name, data) of each resource, ids as numbers, names as text."""
        base_rva, _ = self.directories[2]
        base = self.at(base_rva)

        def entries(offset):
            named, numbered = struct.unpack("<HH", self.data[base + offset + 12:][:4])
            for i in range(named + numbered):
                ident, target = struct.unpack("<II", self.data[base + offset + 16 + 8 * i:][:8])
                if ident & 0x80000000:
                    at = base + (ident & 0x7FFFFFFF)
                    length = struct.unpack("<H", self.data[at:at + 2])[0]
                    ident = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield ident, target

        for kind, names in entries(0):
            for name, languages in entries(names & 0x7FFFFFFF):
                for _, leaf in entries(languages & 0x7FFFFFFF):
                    rva, size = struct.unpack("<II", self.data[base + leaf:][:8])
                    yield kind, name, self.data[self.at(rva):self.at(rva) + size]


def check_exe(build):
    with open(os.path.join(build, "ambrelith.exe"), "rb") as f:
        image = PortableExecutable(f.read())
    check(image.machine == 0x8664 and image.magic == 0x20B,
          f"machine {image.machine:#x}, optional header {image.magic:#x}: not x64")
    check(image.subsystem == 2, f"subsystem {image.subsystem}, not the Windows GUI (2)")
    dlls = image.imported_dlls()
    check(dlls and all(dll.lower() in SYSTEM_DLLS for dll in dlls),
          f"DLLs beyond the system's: {[d for d in dlls if d.lower() not in SYSTEM_DLLS]}")
    # COM, which takes Wine a while to load, is loaded only once the window shows.
    check("ole32.dll" not in (dll.lower() for dll in dlls), "ole32.dll loads with the program")
    check_resources(list(image.resources()))


def main():
    mode, build = sys.argv[1], sys.argv[2]
    {"install": check_install, "deb": check_deb, "rc": check_rc, "exe": check_exe}[mode](build)
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"PASS: {mode}")


main()
