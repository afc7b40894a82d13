"""The Windows installer under Wine, installed and removed silently as an administrator would.

installer.py BUILD_DIR

In the build tree's Wine prefix: msiexec /i ambrelith-VERSION-x64.msi /qn puts the program in
Program Files\\Ambrelith, a Start-menu shortcut to it, and an entry with the heart icon in the list
of installed programs; msiexec /x ... /qn leaves none of them behind. A later version's installer,
made here from the same source, replaces the installed one: one entry, the later version.
"""

import glob
import os
import subprocess
import sys
import tempfile

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(SOURCE, "tests", "win32", "wine_run.sh")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCTS = r"HKLM\Software\Classes\Installer\Products"

build = os.path.abspath(sys.argv[1])
prefix = os.path.join(build, "wine-prefix")
drive_c = os.path.join(prefix, "drive_c")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def wine(*arguments):
    return subprocess.run([WINE_RUN, prefix, *arguments], capture_output=True, text=True,
                          errors="replace")


def registry(key):
    """Each subkey under key whose values name Ambrelith, as {value name: data}."""
    result = wine("reg", "query", key, "/s")
    entries, current = [], None
    for line in result.stdout.splitlines():
        if line.startswith("HKEY_"):
            current = {}
            entries.append(current)
        elif current is not None and line.startswith("    "):
            parts = line.strip().split(None, 2)
            current[parts[0]] = parts[2] if len(parts) == 3 else ""
    return [e for e in entries if "Ambrelith" in (e.get("DisplayName"), e.get("ProductName"))]


def unix_path(windows_path):
    """A C: path in the prefix, found whatever the case of its parts."""
    path = drive_c
    for part in windows_path.split("\\")[1:]:
        names = {name.lower(): name for name in os.listdir(path)} if os.path.isdir(path) else {}
        path = os.path.join(path, names.get(part.lower(), part))
    return path


def installed():
    """What of the program is in the prefix now."""
    shortcuts = glob.glob(os.path.join(drive_c, "ProgramData", "Microsoft", "Windows",
                                       "Start Menu", "Programs", "Ambrelith.lnk"))
    # Wine 8 makes a per-machine package's shortcuts in the installing user's Start menu.
    shortcuts += glob.glob(os.path.join(drive_c, "users", "*", "AppData", "Roaming", "Microsoft",
                                        "Windows", "Start Menu", "Programs", "Ambrelith.lnk"))
    return {
        "folder": os.path.isdir(os.path.join(drive_c, "Program Files", "Ambrelith")),
        "shortcuts": shortcuts,
        "entries": registry(UNINSTALL),
        "products": registry(PRODUCTS),
        # The icon of the installed programs' entry, kept in the installer's cache.
        "icons": glob.glob(os.path.join(drive_c, "windows", "Installer", "*", "heart.ico")),
    }


def check_installed(version, step):
    state = installed()
    program = os.path.join(drive_c, "Program Files", "Ambrelith", "ambrelith.exe")
    with open(os.path.join(build, "ambrelith.exe"), "rb") as f:
        built = f.read()
    if check(os.path.isfile(program), f"{step}: no {program}"):
        with open(program, "rb") as f:
            check(f.read() == built, f"{step}: the installed program is not the built one")
    if check(len(state["shortcuts"]) == 1, f"{step}: shortcuts {state['shortcuts']}"):
        with open(state["shortcuts"][0], "rb") as f:
            link = f.read()
        target = "Ambrelith\\ambrelith.exe"
        check(target.encode("utf-16-le") in link or target.encode() in link,
              f"{step}: the shortcut does not lead to {target}")
    entries = state["entries"]
    if check(len(entries) == 1, f"{step}: {len(entries)} entries in installed programs"):
        entry = entries[0]
        check(entry.get("DisplayVersion") == version,
              f"{step}: installed programs list version {entry.get('DisplayVersion')}")
        check(entry.get("Publisher") == "Tamberlune Works",
              f"{step}: publisher {entry.get('Publisher')}")
    products = state["products"]
    if check(len(products) == 1 and "ProductIcon" in products[0],
             f"{step}: installed products {products}, not one with its icon"):
        icon = unix_path(products[0]["ProductIcon"])
        with open(os.path.join(build, "resources", "heart.ico"), "rb") as f:
            heart = f.read()
        check(os.path.isfile(icon) and open(icon, "rb").read() == heart,
              f"{step}: the installed programs' icon {icon} is not the heart")


def check_removed(step):
    state = installed()
    for what, found in state.items():
        check(not found, f"{step}: {what} left behind: {found}")


def msiexec(*arguments):
    result = wine("msiexec", *arguments, "/qn")
    check(result.returncode == 0,
          f"msiexec {' '.join(arguments)}: exit {result.returncode} {result.stderr}")


def main():
    msi = os.path.join(build, "ambrelith-1.0.0.0-x64.msi")
    with tempfile.TemporaryDirectory() as out:
        later = os.path.join(out, "ambrelith-1.0.1.0-x64.msi")
        # wixl finds files relative to the folder it runs in.
        subprocess.run(["wixl", "--arch", "x64", "-D", "Version=1.0.1.0", "-D", "Exe=ambrelith.exe",
                        "-D", "Icon=resources/heart.ico", "-o", later,
                        os.path.join(SOURCE, "packaging", "win32", "ambrelith.wxs")],
                       cwd=build, check=True, capture_output=True)

        # Whatever an interrupted earlier run left is removed first, by its product code.
        for entry in registry(UNINSTALL):
            product = entry.get("UninstallString", "").partition("/X")[2]
            wine("msiexec", "/x", product, "/qn")
        check_removed("before installing")

        msiexec("/i", msi)
        check_installed("1.0.0.0", "installed")
        msiexec("/x", msi)
        check_removed("uninstalled")

        msiexec("/i", msi)
        msiexec("/i", later)
        check_installed("1.0.1.0", "upgraded")
        msiexec("/x", later)
        check_removed("upgrade uninstalled")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("PASS: installer")


main()
