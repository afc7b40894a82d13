"""Installs Ambrelith into a scratch prefix and uses it through a real X server.

Run under xvfb-run: real_window.py BUILD_DIR [MODE]. The program is driven as a person would:
clicks through the X test extension, the answer read off the screen's pixels, the window closed
as a window manager closes it (WM_DELETE_WINDOW), and exit status 0 expected. Modes:
  (none)             three uses: closed at start, after a mother pick, after the answer; Space
                     at start picks the first mother; started without a usable display or
                     platform plugin: a line that says which, Qt's reason, exit status 1
  openbox            under the openbox window manager with a panel at the top: the whole
                     window, frame included, centred on the area the panel leaves; Space at start
  valgrind SUPP      one whole pass under Valgrind memcheck: no memory errors, nothing lost
  isolated           one pass with empty HOME and XDG folders, which must stay empty; then
                     five copies at once, each taking its own pass
"""

import os
import subprocess
import sys
import tempfile

from Xlib import X, XK, Xatom, display, protocol
from Xlib.ext import xtest

from waiting import fail, wait_for

SIZE = (337, 217)
CYAN = (0, 192, 192)  # the parents label's background
GREEN = (0, 192, 0)  # RESTART's face
PARENTS_LABEL = (113, 145, 105, 23)  # inside Label6's border
ANSWER_LABEL = (2, 186, 221, 29)  # inside Label4's border


def button_centre(row, index):
    """Where to click a genotype button (row 1 mother, 2 father, index 1 to 6)."""
    return 28 + (index - 1) * 56, 48 if row == 1 else 120


class Screen:
    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root
        self.pid_atom = self.display.intern_atom("_NET_WM_PID")

    def program_windows(self):
        """The program's mapped windows, by the id of the process that owns each; a window
        manager may have put each inside a frame of its own."""
        windows = {}
        frames = self.root.query_tree().children
        for window in frames + [c for f in frames for c in f.query_tree().children]:
            if (window.get_attributes().map_state == X.IsViewable
                    and window.get_wm_name() == "Ambrelith"):
                pid = window.get_full_property(self.pid_atom, X.AnyPropertyType)
                windows[pid.value[0] if pid else None] = window
        return windows

    def property(self, window, name):
        found = window.get_full_property(self.display.intern_atom(name), X.AnyPropertyType)
        return list(found.value) if found else None

    def frame(self, window):
        """The window as the user sees it: the window manager's frame around it, if any."""
        while (parent := window.query_tree().parent) != self.root:
            window = parent
        geometry = window.get_geometry()
        border = 2 * geometry.border_width
        return geometry.x, geometry.y, geometry.width + border, geometry.height + border

    def work_area(self):
        area = self.property(self.root, "_NET_WORKAREA")
        root = self.root.get_geometry()
        return area[:4] if area else [0, 0, root.width, root.height]

    def press_space(self):
        self.root.warp_pointer(0, 0)  # keys must not reach the window by following the pointer
        code = self.display.keysym_to_keycode(XK.string_to_keysym("space"))
        xtest.fake_input(self.display, X.KeyPress, code)
        xtest.fake_input(self.display, X.KeyRelease, code)
        self.display.sync()

    def origin(self, window):
        offset = window.translate_coords(self.root, 0, 0)
        return -offset.x, -offset.y

    def pixels(self, window):
        geometry = window.get_geometry()
        image = window.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
        data, width = image.data, geometry.width

        def at(x, y):
            blue, green, red = data[(y * width + x) * 4:(y * width + x) * 4 + 3]
            return red, green, blue

        return at

    def dark_pixels(self, window, area):
        at = self.pixels(window)
        left, top, width, height = area
        return sum(1 for y in range(top, top + height) for x in range(left, left + width)
                   if sum(at(x, y)) < 200)

    def click(self, window, x, y):
        left, top = self.origin(window)
        xtest.fake_input(self.display, X.MotionNotify, x=left + x, y=top + y)
        xtest.fake_input(self.display, X.ButtonPress, 1)
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        self.display.sync()

    def close(self, window):
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(
            window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event)
        self.display.flush()


def start(command, env=None):
    # Arguments Qt would act on: the program must ignore them (the style would change RESTART).
    env = {k: v for k, v in (env or os.environ).items() if not k.startswith("QT_")}
    return subprocess.Popen(command + ["-style", "fusion", "--reverse"], env=env)


def check_first_frame(screen, window, seconds=10):
    geometry = window.get_geometry()
    if (geometry.width, geometry.height) != SIZE:
        fail(f"window is {geometry.width} x {geometry.height}, not {SIZE[0]} x {SIZE[1]}")

    def first_frame():
        at = screen.pixels(window)
        return at if at(120, 150) == CYAN else None

    at = wait_for("the first frame", first_frame, seconds)
    if at(262, 176) != GREEN:
        fail(f"RESTART's face is {at(262, 176)}, not {GREEN}")
    if screen.dark_pixels(window, PARENTS_LABEL):
        fail("the parents label is not empty at start")


def take_pass(screen, window, mother, father, picks=2, seconds=10):
    if picks >= 1:
        screen.click(window, *button_centre(1, mother))
        wait_for("the mother in the parents expression",
                 lambda: screen.dark_pixels(window, PARENTS_LABEL) > 50, seconds)
    if picks >= 2:
        screen.click(window, *button_centre(2, father))
        wait_for("the answer", lambda: screen.dark_pixels(window, ANSWER_LABEL) > 100, seconds)


def close_and_wait(screen, window, process, seconds=10):
    screen.close(window)
    status = process.wait(timeout=seconds)
    if status != 0:
        fail(f"exit status {status} after the window was closed")


def use_once(program, screen, picks, tolerance=0.5):
    """picks: 0 to 2 clicks, or "space": the Space key right after start."""
    process = start([program])
    try:
        window = wait_for("the window", lambda: screen.program_windows().get(process.pid))
        x, y, width, height = screen.frame(window)
        left, top, area_width, area_height = screen.work_area()
        offset = (x + width / 2 - left - area_width / 2, y + height / 2 - top - area_height / 2)
        if max(map(abs, offset)) > tolerance:
            fail(f"window {width} x {height} at {x}, {y} is off centre by {offset} on the area "
                 f"{area_width} x {area_height} at {left}, {top}")
        check_first_frame(screen, window)
        if picks == "space":
            screen.press_space()
            wait_for("Space to pick the first mother",
                     lambda: screen.dark_pixels(window, PARENTS_LABEL) > 50)
        else:
            take_pass(screen, window, 3, 5, picks)
        close_and_wait(screen, window, process)
    finally:
        if process.poll() is None:
            process.kill()


# Start-up without a window: the first line says what is wrong, Qt's own reason follows it, and
# the exit status is 1 (a core dump would show as a signal). Each row: its tag, the environment
# it changes (None removes the variable), the first line's words, and Qt's reason.
START_UP_ERRORS = [
    ("no display", {"DISPLAY": None, "WAYLAND_DISPLAY": None},
     "no display found to show the window on", "qt.qpa.xcb: could not connect to display"),
    ("display cannot be opened", {"DISPLAY": ":987", "WAYLAND_DISPLAY": None},
     "cannot open the X11 display :987", "qt.qpa.xcb: could not connect to display :987"),
    ("no such platform plugin", {"QT_QPA_PLATFORM": "nosuch"},
     "no usable Qt platform plugin", 'Could not find the Qt platform plugin "nosuch"'),
    # One of the xcb plugin's own libraries unloadable, the X server fine.
    ("broken xcb plugin", {"LD_LIBRARY_PATH": "{broken}", "WAYLAND_DISPLAY": None},
     "no usable Qt platform plugin", 'Could not load the Qt platform plugin "xcb"'),
]


def start_up_errors(program):
    with tempfile.TemporaryDirectory() as broken:
        open(os.path.join(broken, "libxcb-icccm.so.4"), "w").close()
        for tag, changes, first, reason in START_UP_ERRORS:
            env = {k: v for k, v in os.environ.items() if not k.startswith("QT_")}
            for name, value in changes.items():
                env.pop(name, None)
                if value is not None:
                    env[name] = value.format(broken=broken)
            result = subprocess.run([program], env=env, capture_output=True, text=True,
                                    timeout=30)
            lines = result.stderr.splitlines()
            if (result.returncode != 1 or not lines or not lines[0].startswith("ambrelith: ")
                    or first not in lines[0] or not any(reason in line for line in lines[1:])):
                fail(f"{tag}: exit status {result.returncode}, said {result.stderr!r}; wanted "
                     f"status 1, a first line with {first!r}, then {reason!r}")


def under_openbox(program, screen):
    """openbox, and a panel along the top that the window must stay clear of."""
    scratch = tempfile.TemporaryDirectory()
    ready = os.path.join(scratch.name, "started")
    manager = subprocess.Popen(["openbox", "--startup", f"touch {ready}"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for("openbox", lambda: os.path.exists(ready))
        width = screen.root.get_geometry().width
        panel = screen.root.create_window(0, 0, width, 40, 0, X.CopyFromParent)
        panel.change_property(screen.display.intern_atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                              [screen.display.intern_atom("_NET_WM_WINDOW_TYPE_DOCK")])
        panel.change_property(screen.display.intern_atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL,
                              32, [0, 0, 40, 0] + [0] * 5 + [width - 1, 0, 0])
        panel.map()
        screen.display.sync()
        wait_for("the panel to take its strip", lambda: screen.work_area()[1] == 40)
        for picks in ("space", 2):
            use_once(program, screen, picks, tolerance=2)
    finally:
        manager.terminate()
        manager.wait(timeout=10)
        scratch.cleanup()


def under_valgrind(program, screen, suppressions):
    with tempfile.NamedTemporaryFile(suffix=".log") as log:
        command = ["valgrind", "--leak-check=full", "--num-callers=50",
                   "--show-leak-kinds=definite,indirect",
                   "--errors-for-leak-kinds=definite,indirect", "--error-exitcode=99",
                   f"--suppressions={suppressions}", f"--log-file={log.name}", program]
        process = start(command)
        try:
            window = wait_for("the window", lambda: screen.program_windows().get(process.pid), 120)
            check_first_frame(screen, window, 60)
            take_pass(screen, window, 6, 3, seconds=60)
            screen.close(window)
            status = process.wait(timeout=120)
        finally:
            if process.poll() is None:
                process.kill()
        report = open(log.name).read()
        summary = [line for line in report.splitlines() if "lost:" in line or "ERROR SUM" in line]
        print("\n".join(summary))
        if status != 0:
            print(report)
            fail(f"valgrind found memory errors or lost memory (exit status {status})")


def isolated(program, screen):
    with tempfile.TemporaryDirectory() as scratch:
        env = dict(os.environ)
        folders = {name: os.path.join(scratch, name.lower()) for name in (
            "HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
            "XDG_RUNTIME_DIR")}
        for name, folder in folders.items():
            os.mkdir(folder, 0o700)
            env[name] = folder
        process = start([program], env)
        try:
            window = wait_for("the window", lambda: screen.program_windows().get(process.pid))
            check_first_frame(screen, window)
            take_pass(screen, window, 1, 6)
            close_and_wait(screen, window, process)
        finally:
            if process.poll() is None:
                process.kill()
        written = [os.path.join(root, name) for folder in folders.values()
                   for root, dirs, files in os.walk(folder) for name in dirs + files]
        if written:
            fail(f"the program wrote {written}")

    # Five copies at once, set side by side, each taking its own pass.
    processes = [start([program]) for _ in range(5)]
    try:
        def all_five():
            windows = screen.program_windows()
            return windows if all(p.pid in windows for p in processes) else None

        windows = wait_for("five windows", all_five)
        mine = [windows[p.pid] for p in processes]
        for i, window in enumerate(mine):
            window.configure(x=(i % 3) * 341, y=(i // 3) * 250)
        screen.display.sync()
        for i, window in enumerate(mine):
            wait_for(f"copy {i} to move", lambda: screen.origin(window) == (
                (i % 3) * 341, (i // 3) * 250))
            check_first_frame(screen, window)
        for i, window in enumerate(mine):
            take_pass(screen, window, i + 1, 6 - i)
            for other in mine[i + 1:]:
                if screen.dark_pixels(other, PARENTS_LABEL):
                    fail(f"a pass in copy {i} showed in another copy")
        for window, process in zip(mine, processes):
            close_and_wait(screen, window, process)
    finally:
        for process in processes:
            if process.poll() is None:
                process.kill()


def main():
    build, mode = sys.argv[1], sys.argv[2:] or ["plain"]
    with tempfile.TemporaryDirectory(prefix="ambrelith-install-") as prefix:
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        program = os.path.join(prefix, "bin", "ambrelith")
        if not os.access(program, os.X_OK):
            fail("cmake --install put no program in bin/")
        screen = Screen()
        if mode[0] == "valgrind":
            under_valgrind(program, screen, mode[1])
        elif mode[0] == "isolated":
            isolated(program, screen)
        elif mode[0] == "openbox":
            under_openbox(program, screen)
        else:
            for picks in (0, 1, 2, "space"):
                use_once(program, screen, picks)
            start_up_errors(program)
    print(f"PASS: {mode[0]}")


main()
