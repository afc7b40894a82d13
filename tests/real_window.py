"""Installs Ambrelith into a scratch prefix and uses it through a real X server.

Run under xvfb-run: real_window.py BUILD_DIR. Starts the installed program, waits for its
337 x 217 window titled "Ambrelith", clicks a mother and a father button with the X test
extension, reads the answer off the screen's pixels, and closes the window as a window manager
would (WM_DELETE_WINDOW), expecting exit status 0.
"""

import os
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol
from Xlib.ext import xtest

SIZE = (337, 217)
CYAN = (0, 192, 192)  # the parents label's background
GREEN = (0, 192, 0)  # RESTART's face


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, probe, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.05)
    fail("timed out waiting for " + what)


class Screen:
    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root

    def program_window(self):
        for window in self.root.query_tree().children:
            attributes = window.get_attributes()
            if attributes.map_state == X.IsViewable and window.get_wm_name() == "Ambrelith":
                return window
        return None

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


def dark_pixels_in(at, left, top, width, height):
    return sum(1 for y in range(top, top + height) for x in range(left, left + width)
               if sum(at(x, y)) < 200)


def use_once(program, screen, picks):
    """Starts the program, checks its first frame, makes `picks` picks, then closes it."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("QT_")}
    # Arguments Qt would act on: the program must ignore them (the style would change RESTART).
    process = subprocess.Popen([program, "-style", "fusion", "--reverse"], env=env)
    try:
        window = wait_for("the window", screen.program_window)
        geometry = window.get_geometry()
        if (geometry.width, geometry.height) != SIZE:
            fail(f"window is {geometry.width} x {geometry.height}, not {SIZE[0]} x {SIZE[1]}")
        root = screen.root.get_geometry()
        left, top = screen.origin(window)
        centre_gap = (abs(2 * left + SIZE[0] - root.width), abs(2 * top + SIZE[1] - root.height))
        if max(centre_gap) > 2:
            fail(f"window at {left}, {top} is not centred on a {root.width} x {root.height} screen")

        def first_frame():
            at = screen.pixels(window)
            return at if at(120, 150) == CYAN else None

        at = wait_for("the first frame", first_frame)
        if at(262, 176) != GREEN:
            fail(f"RESTART's face is {at(262, 176)}, not {GREEN}")
        if dark_pixels_in(at, 113, 145, 105, 23):
            fail("the parents label is not empty at start")

        if picks >= 1:
            screen.click(window, 140, 48)  # mother "2-A0"
            wait_for("the mother in the parents expression",
                     lambda: dark_pixels_in(screen.pixels(window), 113, 145, 105, 23) > 50)
        if picks >= 2:
            screen.click(window, 252, 120)  # father "3-B0"
            wait_for("the answer",
                     lambda: dark_pixels_in(screen.pixels(window), 2, 186, 221, 29) > 100)

        screen.close(window)
        status = process.wait(timeout=10)
        if status != 0:
            fail(f"exit status {status} after the window was closed with {picks} picks made")
    finally:
        if process.poll() is None:
            process.kill()


def main():
    build = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="ambrelith-install-") as prefix:
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        program = os.path.join(prefix, "bin", "ambrelith")
        if not os.access(program, os.X_OK):
            fail("cmake --install put no program in bin/")
        screen = Screen()
        for picks in (0, 1, 2):
            use_once(program, screen, picks)
    print("PASS: the installed program opened its window, took clicks and closed with status 0")


main()
