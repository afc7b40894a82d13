"""Uses Ambrelith the way a screen reader does, over AT-SPI.

Run inside dbus-run-session and xvfb-run: screen_reader.py PROGRAM [SWITCH]. Starts the program
with no screen reader, then starts the accessibility bus and turns accessibility on (as a screen
reader started later does) through the status property SWITCH: IsEnabled (the default, as a
screen reader sets it) or ScreenReaderEnabled (alone, as desktop settings set it). Then it finds
the program's 13 buttons and 6 labels through the accessibility tree, presses mother "2-A0" and
father "3-B0" through their actions, and checks what a screen reader hears on each move of the
focus, the answer in the result label, that the two labels announced their changes, and that
RESTART leaves no stale answer.
"""

import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
from Xlib import X, display  # noqa: E402

from waiting import fail, wait_for  # noqa: E402

EXPECTED_LABELS = {"Select blood group of Mother", "Select blood group of Father",
                   "Blood group of your Child is:", "Tamberlune Works"}


def pump(seconds):
    """Lets AT-SPI deliver events for a while."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not context.iteration(False):
            time.sleep(0.01)


def wait(what, probe):
    return wait_for(what, probe, 15, lambda: pump(0.1))


def descendants(accessible):
    for i in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(i)
        if child is not None:
            yield child
            yield from descendants(child)


def program_window():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(i)
        for window in descendants(application) if application else ():
            if window.get_role() == Atspi.Role.FRAME and window.get_name() == "Ambrelith":
                return window
    return None


def accessibility_status(switch, *call):
    subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus",
                    "--object-path", "/org/a11y/bus", "--method",
                    f"org.freedesktop.DBus.Properties.{call[0]}", "org.a11y.Status", switch,
                    *call[1:]], check=True, stdout=subprocess.DEVNULL)


def on_screen(root):
    return any(w.get_wm_name() == "Ambrelith" for w in root.query_tree().children
               if w.get_attributes().map_state == X.IsViewable)


def main():
    switch = sys.argv[2] if len(sys.argv) > 2 else "IsEnabled"
    # The accessibility bus puts its socket in the user's runtime folder, where every session of
    # the user finds the same one: another session's bus (another run of this test, the desktop's)
    # takes that socket over, or removes it as it ends. This session's bus gets a folder of its own.
    runtime = tempfile.TemporaryDirectory()
    subprocess.run(["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
                    "/org/freedesktop/DBus", "--method",
                    "org.freedesktop.DBus.UpdateActivationEnvironment",
                    f"{{'XDG_RUNTIME_DIR': '{runtime.name}'}}"], check=True, stdout=subprocess.DEVNULL)
    process = subprocess.Popen([sys.argv[1]])
    try:
        root = display.Display().screen().root
        wait_for("the window on screen", lambda: on_screen(root))
        # A screen reader starts: the accessibility bus first, which the program sees appear with
        # accessibility still off; a moment later, accessibility on.
        accessibility_status(switch, "Get")
        time.sleep(1)
        accessibility_status(switch, "Set", "<true>")
        Atspi.init()
        window = wait("the window in the accessibility tree", program_window)
        # Only now, once the program is in the tree: as it joins, Qt asks which events are
        # listened to before it subscribes to news of new listeners, and a listener registered
        # in between would never hear from it. A registration is answered only after the
        # registry has told the programs, so the program knows of both before the first press.
        announced, focused = [], []
        listener = Atspi.EventListener.new(lambda event: announced.append(
            (event.source.get_name(), event.source.get_description())))
        listener.register("object:property-change:accessible-name")
        focus_listener = Atspi.EventListener.new(
            lambda event: event.detail1 and focused.append(
                (event.source.get_name(), event.source.get_description())))
        focus_listener.register("object:state-changed:focused")
        controls = list(descendants(window))
        buttons = [c for c in controls if c.get_role() == Atspi.Role.PUSH_BUTTON]
        labels = [c for c in controls if c.get_role() == Atspi.Role.LABEL]
        if len(buttons) != 13 or len(labels) != 6:
            fail(f"found {len(buttons)} buttons and {len(labels)} labels, not 13 and 6")
        missing = EXPECTED_LABELS - {label.get_name() for label in labels}
        if missing:
            fail(f"labels not found by name: {sorted(missing)}")
        if sum(1 for b in buttons if b.get_name() == "RESTART") != 1:
            fail("no single RESTART button")

        def button(name, whose):
            for b in buttons:
                if b.get_name() == name and b.get_description().startswith(whose):
                    return b
            fail(f"no {whose} button named {name}")

        def label(description):
            for candidate in labels:
                if candidate.get_description().startswith(description):
                    return candidate
            fail(f"no label described as {description!r}")

        father = button("3-B0", "Father")
        if father.get_state_set().contains(Atspi.StateType.ENABLED):
            fail("the father row is enabled before the mother is picked")
        button("2-A0", "Mother").do_action(0)
        wait("the father row to be enabled",
                 lambda: father.get_state_set().contains(Atspi.StateType.ENABLED))
        # What a screen reader speaks as the focus moves on: the step taken and the next one.
        wait("the focus to say the mother is taken", lambda: (
            "1-00", "Mother 2-A0 is taken, group A, alleles A and 0; now the father. Father, "
            "group O, alleles 0 and 0") in focused)
        # Straight there: not through the mother's buttons that the pick disabled after 2-A0.
        if [name for name, _ in focused] != ["1-00"]:
            fail(f"the focus went through {focused} after the mother's pick")
        father.do_action(0)
        wait("the focus to say the answer", lambda: (
            "RESTART", "Mother 2-A0 and father 3-B0: the child can have 4-AB, group AB, alleles A "
            "and B, 25 %; 2-A0, group A, alleles A and 0, 25 %; 3-B0, group B, alleles B and 0, "
            "25 %; 1-00, group O, alleles 0 and 0, 25 %. Start over with the mother's genotype")
            in focused)

        result = label("The genotypes the child can have")
        parents = label("The mother's and the father's genotypes")
        wait("the answer", lambda: result.get_name() == "4-AB, 2-A0, 3-B0, 1-00")
        if parents.get_name() != "(2-A0)+(3-B0)":
            fail(f"the parents label reads {parents.get_name()!r}")
        wait("the answer to be announced",
                 lambda: ("4-AB, 2-A0, 3-B0, 1-00", result.get_description()) in announced)
        if ("(2-A0)+(3-B0)", parents.get_description()) not in announced:
            fail(f"the parents expression was not announced; heard {announced}")
        # After RESTART no stale answer is left to read.
        button("RESTART", "Mother 2-A0").do_action(0)
        wait("RESTART to clear what the labels expose", lambda: (
            result.get_name(), result.get_description(), parents.get_name()) == (
            "", "The genotypes the child can have", ""))
        button("RESTART", "Start over with the mother's genotype")
    finally:
        process.terminate()
        process.wait(timeout=10)
    print("PASS: a screen reader found every control, took a pass and heard the answer")


main()
