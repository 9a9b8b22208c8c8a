#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Reads the board through the desktop's accessibility bus, as a screen reader does.
#   atspi.py describe NAME   the description of the push button called NAME
#   atspi.py focused         the name of the push button that has the keyboard focus
# Waits for the window to appear on the bus, up to a minute (a busy machine is slow to start the
# accessibility bus); exits 1 if it never does.
import sys
import time

import pyatspi


def buttons():
    for app in pyatspi.Registry.getDesktop(0):
        for window in app or []:
            if window is not None and window.name == "The Vantorel":
                return pyatspi.findAllDescendants(
                    window, lambda a: a.getRoleName() == "push button")
    return []


def main(verb, name=None):
    deadline = time.monotonic() + 60
    while not (found := buttons()):
        if time.monotonic() > deadline:
            return 1
        time.sleep(0.1)
    for button in found:
        if verb == "describe" and button.name == name:
            print(button.description)
            return 0
        if verb == "focused" and button.getState().contains(pyatspi.STATE_FOCUSED):
            print(button.name)
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
