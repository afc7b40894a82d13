"""The Windows installer under Wine, silently as an administrator would, then through its dialogs.

installer.py BUILD_DIR

In the build tree's Wine prefix: msiexec /i ambrelith-VERSION-x64.msi /qn puts the program in
Program Files\\Ambrelith, a Start-menu shortcut to it, and an entry with the heart icon, folder and
size in the list of installed programs; msiexec /x ... /qn leaves none of them behind. A later
version's installer, made here from the same source, replaces the installed one: one entry, the
later version. The dialog tables name only controls that are there, every button does something
and every dialog can show. Double-clicked, by keys as a user would: the welcome page installs and
the finished page ends; run again, the maintenance page repairs and, run once more, removes.
"""

import glob
import os
import re
import subprocess
import sys
import tempfile
import time

from PIL import ImageGrab

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(SOURCE, "tests", "win32", "wine_run.sh")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCTS = r"HKLM\Software\Classes\Installer\Products"

if not os.environ.get("WINE_RUN_DISPLAY_READY"):
    # One X server for every Wine run here, which the keys for the dialogs go to.
    os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1600x1200x24",
                           "env", "WINE_RUN_DISPLAY_READY=1", sys.executable, *sys.argv])

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
        check(entry.get("InstallLocation") == "C:\\Program Files\\Ambrelith\\",
              f"{step}: install location {entry.get('InstallLocation')}")
        # The program's size in kilobytes.
        check(entry.get("Size") == str((len(built) + 1023) // 1024),
              f"{step}: size {entry.get('Size')}")
        # The project has no web site.
        check(not any("://" in value for value in entry.values()), f"{step}: a web address {entry}")
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


def table(msi, name):
    """The rows of one of the package's tables, as {column: value}."""
    lines = subprocess.run(["msiinfo", "export", msi, name], capture_output=True,
                           text=True).stdout.splitlines()
    return [dict(zip(lines[0].split("\t"), line.split("\t"))) for line in lines[3:]]


def check_dialog_tables(msi):
    """The dialogs are wired: see the top of this file."""
    controls = {(row["Dialog_"], row["Control"]): row for row in table(msi, "Control")}
    dialogs, events = table(msi, "Dialog"), table(msi, "ControlEvent")
    named = {(d["Dialog"], d[column]) for d in dialogs
             for column in ("Control_First", "Control_Default", "Control_Cancel") if d[column]}
    named |= {(key[0], row["Control_Next"]) for key, row in controls.items() if row["Control_Next"]}
    named |= {(row["Dialog_"], row["Control_"]) for name in ("EventMapping", "ControlCondition")
              for row in table(msi, name) + events}
    check(named <= controls.keys(), f"controls named but not there: {named - controls.keys()}")
    idle = {key for key, row in controls.items() if row["Type"] == "PushButton"}
    idle -= {(row["Dialog_"], row["Control_"]) for row in events}
    check(not idle, f"buttons that do nothing: {idle}")
    unshown = {d["Dialog"] for d in dialogs}
    unshown -= {row["Action"] for row in table(msi, "InstallUISequence")}
    check(dialogs and not unshown, f"dialogs that never show: {unshown or 'no dialogs at all'}")


def dialogs_shown(log):
    with open(log, errors="replace") as f:
        return re.findall(r"Action start [\d:]+: (\w+Dlg)\.", f.read())


def settled():
    """Whether a window stands still in the virtual desktop's middle, where dialogs stand."""
    before = ImageGrab.grab(xdisplay=os.environ["DISPLAY"])
    time.sleep(0.3)
    after = ImageGrab.grab(xdisplay=os.environ["DISPLAY"])
    return before == after and after.getpixel((640, 512)) != after.getpixel((2, 2))


def page_shows(run, log, count):
    """Whether msiexec comes to show its COUNTth dialog, drawn and still, in a minute or so."""
    for _ in range(100):
        if run.poll() is not None:
            return False
        if len(dialogs_shown(log)) >= count and settled():
            return True
        time.sleep(0.3)
    return False


def with_dialogs(msi, steps, request=""):
    """msiexec /i MSI with its dialogs: STEPS are the dialogs due, each with the keys that answer
    it once it shows, or None if it waits for nobody. It must end well, having set REQUEST."""
    log = os.path.join(build, "installer-dialogs.log")
    open(log, "w").close()
    run = subprocess.Popen([WINE_RUN, prefix, "msiexec", "/i", msi, "/l*",
                            "Z:" + log.replace("/", "\\")], stdout=subprocess.DEVNULL)
    try:
        for count, (_, keys) in enumerate(steps, 1):
            if keys and not page_shows(run, log, count):
                break
            if keys:
                subprocess.run(["xdotool", "key", keys])
        else:
            run.wait(timeout=60)
    except subprocess.TimeoutExpired:
        pass
    # Whatever it still waits for ends here.
    subprocess.run(["/usr/lib/wine/wineserver", "-k"], env={**os.environ, "WINEPREFIX": prefix})
    shown, due = dialogs_shown(log), [dialog for dialog, _ in steps]
    with open(log, errors="replace") as f:
        asked = not request or f"Property(S): {request}\n" in f.read()
    check(run.wait() == 0 and shown == due and asked,
          f"msiexec /i with dialogs: {shown} shown, {due} due, exit {run.returncode}"
          + ("" if asked else f", no {request}"))


def main():
    msi = os.path.join(build, "ambrelith-1.0.0.0-x64.msi")
    with tempfile.TemporaryDirectory() as out:
        later = os.path.join(out, "ambrelith-1.0.1.0-x64.msi")
        subprocess.run(["cmake", "-D", "VERSION=1.0.1.0", "-D", "EXE=ambrelith.exe", "-D",
                        "ICON=resources/heart.ico", "-D", f"OUT={later}", "-P",
                        os.path.join(SOURCE, "packaging", "win32", "make_msi.cmake")],
                       cwd=build, check=True, capture_output=True)
        check_dialog_tables(msi)

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

        # Enter takes the default button: Install, Repair, Finish.
        finish = [("ProgressDlg", None), ("ExitDlg", "Return")]
        with_dialogs(msi, [("WelcomeDlg", "Return")] + finish)
        check_installed("1.0.0.0", "installed with dialogs")
        program = os.path.join(drive_c, "Program Files", "Ambrelith", "ambrelith.exe")
        if os.path.exists(program):
            os.remove(program)
        # Wine puts back a missing file on any run; Windows only when asked to reinstall.
        with_dialogs(msi, [("MaintenanceDlg", "Return")] + finish, "REINSTALL = ALL")
        check(os.path.isfile(program), "repaired with dialogs: the program is not put back")
        with_dialogs(msi, [("MaintenanceDlg", "alt+m")] + finish)
        check_removed("removed with dialogs")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("PASS: installer")


main()
