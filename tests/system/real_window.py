"""Installs Ambrelith into a scratch prefix and uses it through a real X server.

Run under xvfb-run: real_window.py BUILD_DIR [MODE]. The program is driven as a person would:
clicks through the X test extension, the answer read off the screen's pixels, the window closed
as a window manager closes it (WM_DELETE_WINDOW), and exit status 0 expected. Modes:
  (none)             three uses: closed at start, after a mother pick, after the answer; Space
                     at start picks the first mother, also where a crashed window manager left
                     its check behind; started without a usable display or platform plugin: a
                     line that says which, Qt's reason, exit status 1
  openbox            under the openbox window manager with a panel at the top: the whole
                     window, frame included, centred on the area the panel leaves; Space at
                     start; centred too on a screen Qt scales by 2
  kwin_x11           the same under KWin on X11 (Breeze title bars), whose rules centre it
  wayland            on Wayland compositors: the window goes to X11 where the compositor draws
                     no title bars (weston; a registry with look-alikes only), stays on Wayland
                     where it does (KWin; a registry with either decoration global, one with
                     its connection handed down), and QT_QPA_PLATFORM, where set, decides, Qt's
                     warnings passed on; under weston with XWayland, centred
  valgrind SUPP      one whole pass under Valgrind memcheck: no memory errors, nothing lost
  isolated           one pass with empty HOME and XDG folders, which must stay empty; then
                     five copies at once, each taking its own pass
"""

import ctypes
import os
import re
import resource
import shutil
import socket as socketlib
import subprocess
import sys
import tempfile

import Xlib.error
import Xlib.ext
from Xlib import X, XK, Xatom, display, protocol
from Xlib.ext import xtest

# python-xlib cannot open a second display with RANDR's events (a weston test watches its own X
# server beside the session's); no test needs them.
Xlib.ext.__extensions__ = [found for found in Xlib.ext.__extensions__ if found[0] != "RANDR"]

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
    def __init__(self, name=None):
        self.display = display.Display(name)
        self.root = self.display.screen().root
        self.pid_atom = self.display.intern_atom("_NET_WM_PID")

    def program_windows(self):
        """The program's mapped windows, by the id of the process that owns each; a window
        manager may have put each inside a frame of its own (KWin: a frame, then a wrapper)."""
        windows = {}
        frames = self.children(self.root)
        inner = [c for f in frames for c in self.children(f)]
        for window in frames + inner + [c for i in inner for c in self.children(i)]:
            try:
                if (window.get_attributes().map_state == X.IsViewable
                        and window.get_wm_name() == "Ambrelith"):
                    pid = window.get_full_property(self.pid_atom, X.AnyPropertyType)
                    windows[pid.value[0] if pid else None] = window
            except (Xlib.error.BadWindow, Xlib.error.BadDrawable):
                pass  # gone meanwhile: a window manager makes and drops windows of its own
        return windows

    @staticmethod
    def children(window):
        try:
            return window.query_tree().children
        except (Xlib.error.BadWindow, Xlib.error.BadDrawable):
            return []

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


def start(command, env=None, extra=None, **options):
    """extra: variables set after Qt's own are taken out of the environment."""
    # Arguments Qt would act on: the program must ignore them (the style would change RESTART).
    env = {k: v for k, v in (env or os.environ).items() if not k.startswith("QT_")}
    env.update(extra or {})
    return subprocess.Popen(command + ["-style", "fusion", "--reverse"], env=env, **options)


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


def centred(screen, window, tolerance):
    # A window manager that frames the window (KWin) may show it while its frame is still 1 x 1.
    inner = window.get_geometry()
    x, y, width, height = wait_for(
        "the frame around the window", lambda: (frame := screen.frame(window))[2] >= inner.width
        and frame[3] >= inner.height and frame)
    left, top, area_width, area_height = screen.work_area()
    offset = (x + width / 2 - left - area_width / 2, y + height / 2 - top - area_height / 2)
    if max(map(abs, offset)) > tolerance:
        fail(f"window {width} x {height} at {x}, {y} is off centre by {offset} on the area "
             f"{area_width} x {area_height} at {left}, {top}")
    return offset


def use_once(program, screen, picks, tolerance=0.5, scale=None):
    """picks: 0 to 2 clicks, or "space": the Space key right after start. With a scale (Qt's
    QT_SCALE_FACTOR) the window is only measured, then closed."""
    process = start([program], extra={"QT_SCALE_FACTOR": str(scale)} if scale else None)
    try:
        window = wait_for("the window", lambda: screen.program_windows().get(process.pid))
        centred(screen, window, tolerance)
        if scale:
            geometry = window.get_geometry()
            if (geometry.width, geometry.height) != (SIZE[0] * scale, SIZE[1] * scale):
                fail(f"at scale {scale} the window is {geometry.width} x {geometry.height}")
            close_and_wait(screen, window, process)
            return
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
# the exit status is 1 (a core dump would show as a signal); Qt's advice to reinstall follows
# only where no plugin is usable. Each row: its tag, the environment it changes (None removes the
# variable), the first line's words, and Qt's reason.
START_UP_ERRORS = [
    ("no display", {"DISPLAY": None, "WAYLAND_DISPLAY": None},
     "no display found to show the window on", "qt.qpa.xcb: could not connect to display"),
    ("display cannot be opened", {"DISPLAY": ":987", "WAYLAND_DISPLAY": None},
     "cannot open the X11 display :987", "qt.qpa.xcb: could not connect to display :987"),
    # Without a runtime folder libwayland says so too, after the first line.
    ("neither display opens", {"DISPLAY": ":987", "WAYLAND_DISPLAY": "ambrelith-none",
                               "XDG_RUNTIME_DIR": None},
     "cannot open the X11 display :987 nor the Wayland display ambrelith-none",
     "Failed to create wl_display"),
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
                    or first not in lines[0] or not any(reason in line for line in lines[1:])
                    or ("Reinstalling" in result.stderr) != ("plugin" in first)):
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
        # Openbox's frame is in the screen's pixels, the window's size in Qt's scaled ones.
        use_once(program, screen, 0, tolerance=2, scale=2)
    finally:
        manager.terminate()
        manager.wait(timeout=10)
        scratch.cleanup()


def under_kwin_x11(program, screen):
    """KWin on X11, whose rules centre a new window, frame and all, wherever it asks to go."""
    manager = subprocess.Popen(["kwin_x11", "--replace"], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)

    def manager_name():
        check = screen.property(screen.root, "_NET_SUPPORTING_WM_CHECK")
        name = check and screen.property(
            screen.display.create_resource_object("window", check[0]), "_NET_WM_NAME")
        return name and bytes(name).decode()

    try:
        name = wait_for("kwin_x11", manager_name, 30)
        if name != "KWin":
            fail(f"the window manager is {name!r}, not KWin")
        for picks in ("space", 2):
            use_once(program, screen, picks, tolerance=2)
    finally:
        manager.terminate()
        manager.wait(timeout=10)


def serve_registry(socket, names):
    """A Wayland server whose registry lists only the named globals, with no requests or events
    of their own: enough for a client to list them, and to bind them."""
    server = ctypes.CDLL("libwayland-server.so.0")

    class Interface(ctypes.Structure):
        _fields_ = [("name", ctypes.c_char_p), ("version", ctypes.c_int),
                    ("method_count", ctypes.c_int), ("methods", ctypes.c_void_p),
                    ("event_count", ctypes.c_int), ("events", ctypes.c_void_p)]

    pointer = ctypes.c_void_p
    bind_type = ctypes.CFUNCTYPE(None, pointer, pointer, ctypes.c_uint32, ctypes.c_uint32)
    server.wl_display_create.restype = pointer
    server.wl_display_add_socket.argtypes = [pointer, ctypes.c_char_p]
    server.wl_global_create.restype = pointer
    server.wl_global_create.argtypes = [pointer, pointer, ctypes.c_int, pointer, bind_type]
    server.wl_resource_create.restype = pointer
    server.wl_resource_create.argtypes = [pointer, pointer, ctypes.c_int, ctypes.c_uint32]
    server.wl_display_run.argtypes = [pointer]

    @bind_type
    def bind(client, interface, version, new_id):
        server.wl_resource_create(client, interface, version, new_id)

    interfaces = [Interface(name.encode(), 1, 0, None, 0, None) for name in names]
    wayland = server.wl_display_create()
    if server.wl_display_add_socket(wayland, socket.encode()) != 0:
        fail(f"the registry cannot listen on {socket}")
    for interface in interfaces:
        address = ctypes.addressof(interface)
        server.wl_global_create(wayland, address, 1, address, bind)
    server.wl_display_run(wayland)


class Compositor:
    """A Wayland compositor on a private runtime folder: weston's headless backend (its X server,
    XWayland, on request), KWin's virtual one, a bare registry listing the given globals, or
    ("none") a runtime folder where no compositor listens, or ("silent") one where a socket takes
    connections and never answers."""

    def __init__(self, kind, globals_=()):
        self.scratch = tempfile.TemporaryDirectory()
        self.runtime = self.scratch.name
        os.chmod(self.runtime, 0o700)
        self.socket = "ambrelith-test"
        self.x_display = None
        self.process = self.log = self.listener = None
        if kind == "none":
            return
        if kind == "silent":  # takes connections and never answers
            self.listener = socketlib.socket(socketlib.AF_UNIX, socketlib.SOCK_STREAM)
            self.listener.bind(os.path.join(self.runtime, self.socket))
            self.listener.listen(4)
            return
        self.log = log = open(os.path.join(self.runtime, "log"), "w+")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        env.pop("WAYLAND_DISPLAY", None)
        size = ["--width=1024", "--height=768"]
        if kind.startswith("weston"):
            # --debug lets a test read the scene graph: where weston shows each window.
            command = ["weston", "--backend=headless-backend.so", f"--socket={self.socket}",
                       "--idle-time=0", "--debug"] + size
            if kind == "weston-xwayland":
                command.append("--xwayland")
        elif kind == "kwin":
            # A copy: the file capability Debian gives kwin_wayland cannot be granted inside
            # a container, where the original then fails to start.
            shutil.copy("/usr/bin/kwin_wayland", self.runtime)
            # KWin tells the X server it started for XWayland only to the session it runs.
            told = os.path.join(self.runtime, "x-display")
            session = f'sh -c "echo $DISPLAY > {told}.new && mv {told}.new {told}; exec cat"'
            command = [os.path.join(self.runtime, "kwin_wayland"), "--virtual", "--xwayland",
                       f"--socket={self.socket}", f"--exit-with-session={session}"] + size
        else:
            command = ["/usr/bin/python3", os.path.abspath(__file__), "--registry", self.socket,
                       *globals_]
        self.process = subprocess.Popen(command, env=env, stdin=subprocess.PIPE, stdout=log,
                                        stderr=subprocess.STDOUT)
        wait_for(f"{kind} to listen", lambda: os.path.exists(
            os.path.join(self.runtime, self.socket)) or self.process.poll() is not None, 30)
        if self.process.poll() is not None:
            log.seek(0)
            fail(f"{kind} did not start: {log.read()}")
        if kind == "weston-xwayland":
            def x_server():
                log.seek(0)
                found = re.search(r"xserver listening on display (:\d+)", log.read())
                return found and found.group(1)

            self.x_display = wait_for("weston's X server", x_server)
        if kind == "kwin":
            def x_server():
                return os.path.exists(told) and open(told).read().strip()

            self.x_display = wait_for("KWin's X server", x_server, 30)

    def close(self):
        if self.listener:
            self.listener.close()
        if self.process:
            self.process.stdin.close()  # ends KWin's session
            self.process.terminate()
            self.process.wait(timeout=10)
            self.log.close()
        self.scratch.cleanup()


# How the program chooses its window system on a Wayland desktop. Each row: its tag, the
# compositor (and, for a bare registry, its globals), the user's own QT_QPA_PLATFORM or a
# connection to the compositor handed down in WAYLAND_SOCKET, and where the window must go: an
# X11 window (on XWayland where the compositor has one, else on the session's X server) or a
# Wayland one; and a line that Qt wrote while it started, passed on as Qt wrote it.
WAYLAND_ROWS = [
    ("no compositor listening: X11", "none", (), {}, "x11"),
    ("no compositor listening, the user's own wayland;xcb", "none", (),
     {"QT_QPA_PLATFORM": "wayland;xcb"}, "x11", "Failed to create wl_display"),
    ("a compositor that never answers: X11", "silent", (), {}, "x11"),
    ("weston: X11", "weston", (), {}, "x11"),
    ("weston with XWayland: X11, centred", "weston-xwayland", (), {}, "x11"),
    ("weston, the user's own wayland", "weston", (), {"QT_QPA_PLATFORM": "wayland"}, "wayland"),
    ("kwin with XWayland: Wayland", "kwin", (), {}, "wayland"),
    ("kwin with XWayland, the user's own xcb", "kwin", (), {"QT_QPA_PLATFORM": "xcb"}, "x11"),
    ("registry with xdg decorations", "registry", ("wl_seat", "zxdg_decoration_manager_v1"), {},
     "wayland"),
    # The program looks at the compositor over a connection of its own, leaving Qt the one
    # handed down.
    ("registry with KDE decorations, its connection handed down", "registry",
     ("org_kde_kwin_server_decoration_manager",), {"WAYLAND_SOCKET": "handed down"}, "wayland"),
    ("registry with look-alikes only", "registry", (
        "zxdg_decoration_manager_v2", "org_kde_kwin_server_decoration_palette_manager",
        "xdg_wm_base"), {}, "x11"),
]


def shown_centred(compositor, screen, tolerance):
    """Where weston shows the window, from its scene graph: weston does not move the X frames of
    XWayland's windows to where it shows them. The view's box is the frame with a shadow of the
    same width on every side."""
    env = dict(os.environ, XDG_RUNTIME_DIR=compositor.runtime, WAYLAND_DISPLAY=compositor.socket)
    view = re.compile(r"top-level window 'Ambrelith'.*\n\s*position: \((-?\d+), (-?\d+)\) -> "
                      r"\((-?\d+), (-?\d+)\)")

    def box():
        graph = subprocess.run(["weston-debug", "-o", "/dev/stdout", "scene-graph"], env=env,
                               capture_output=True, text=True, timeout=10).stdout
        found = view.search(graph)
        return found and [int(value) for value in found.groups()]

    left, top, right, bottom = wait_for("the window in weston's scene graph", box)
    area_left, area_top, area_width, area_height = screen.work_area()
    offset = ((left + right) / 2 - area_left - area_width / 2,
              (top + bottom) / 2 - area_top - area_height / 2)
    if max(map(abs, offset)) > tolerance:
        fail(f"weston shows the window at {left}, {top} to {right}, {bottom}: off centre by "
             f"{offset} on the area {area_width} x {area_height} at {area_left}, {area_top}")
    return offset


def written(file):
    """What the program has written to file so far, read without moving the offset it shares
    with the program, which writes at that offset."""
    return os.pread(file.fileno(), os.fstat(file.fileno()).st_size, 0).decode(errors="replace")


def no_core_dump():
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


def on_wayland(program, screen):
    for tag, kind, globals_, env, expected, *passed_on in WAYLAND_ROWS:
        compositor = Compositor(kind, globals_)
        handed = socketlib.socket(socketlib.AF_UNIX, socketlib.SOCK_STREAM)
        try:
            x_screen = Screen(compositor.x_display) if compositor.x_display else screen
            extra = {"XDG_RUNTIME_DIR": compositor.runtime, "WAYLAND_DISPLAY": compositor.socket,
                     "DISPLAY": compositor.x_display or os.environ["DISPLAY"],
                     "WAYLAND_DEBUG": "client", **env}
            if "WAYLAND_SOCKET" in env:
                handed.connect(os.path.join(compositor.runtime, compositor.socket))
                extra["WAYLAND_SOCKET"] = str(handed.fileno())
            with tempfile.TemporaryFile("w+") as said:
                process = start([program], extra=extra, stderr=said, preexec_fn=no_core_dump,
                                pass_fds=[handed.fileno()] if "WAYLAND_SOCKET" in env else [])
                try:
                    listed = 0 if "QT_QPA_PLATFORM" in env or kind == "none" else 1
                    check_window_system(tag, x_screen, process, said, expected, listed)
                    if passed_on and not re.search(f"^{passed_on[0]}", written(said), re.M):
                        fail(f"{tag}: no line begins {passed_on[0]!r}")
                    if kind == "weston-xwayland":
                        print(f"{tag}: off centre by {shown_centred(compositor, x_screen, 2)}")
                    if expected == "x11":
                        close_and_wait(x_screen, x_screen.program_windows()[process.pid], process)
                finally:
                    if process.poll() is None:
                        process.kill()
                        process.wait()
        finally:
            handed.close()
            compositor.close()


def check_window_system(tag, screen, process, said, expected, probes):
    """probes: how often the program's own look at the compositor lists its globals (once, or
    not at all where QT_QPA_PLATFORM is set or no compositor listens); Qt's Wayland plugin lists
    them again."""
    def listings():
        return written(said).count("wl_display@1.get_registry(")

    def titled():
        return 'set_title("Ambrelith")' in written(said)

    if expected == "x11":
        wait_for(f"{tag}: an X11 window", lambda: screen.program_windows().get(process.pid))
        if listings() != probes:
            fail(f"{tag}: the globals listed {listings()} times, not {probes}: Qt tried Wayland")
        return
    wait_for(f"{tag}: Qt on Wayland", lambda: listings() > probes or process.poll() is not None)
    if listings() <= probes:
        fail(f"{tag}: the globals listed {listings()} times: Qt did not try Wayland")
    if screen.program_windows().get(process.pid):
        fail(f"{tag}: an X11 window, where a Wayland one was wanted")
    if not tag.startswith("registry"):
        wait_for(f"{tag}: a Wayland window titled Ambrelith", titled)


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
        elif mode[0] == "kwin_x11":
            under_kwin_x11(program, screen)
        elif mode[0] == "wayland":
            on_wayland(program, screen)
        else:
            for picks in (0, 1, 2, "space"):
                use_once(program, screen, picks)
            # A window manager that crashed left its check on the root window, naming a window
            # that does not name itself: there is no window manager to give the window the focus.
            left = screen.root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
            screen.root.change_property(screen.display.intern_atom("_NET_SUPPORTING_WM_CHECK"),
                                        Xatom.WINDOW, 32, [left.id])
            use_once(program, screen, "space")
            start_up_errors(program)
    print(f"PASS: {mode[0]}")


if sys.argv[1] == "--registry":
    serve_registry(sys.argv[2], sys.argv[3:])
else:
    main()
