"""Shared by the tests that drive the program from outside: failing, and waiting for a state."""

import sys
import time


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, probe, seconds=10, idle=lambda: time.sleep(0.05)):
    """Calls probe until it returns something true, and returns that; fails after seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        idle()
    fail("timed out waiting for " + what)
