#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Reads the board through the desktop's accessibility bus, as a screen reader does.
#   atspi.py describe NAME   the description of the push button called NAME
#   atspi.py focused         the name of the push button that has the keyboard focus
#   atspi.py tree            the window and everything in it, depth first, one a line:
#                            role|name|description|x,y,width,height (from the window's corner),
#                            indented two spaces a level; the window itself as role|name
#   atspi.py listen          prints "listening", then every change of a name or description
#                            the board announces, as name|description, until it is stopped
# Waits for the window to appear on the bus, up to a minute (a busy machine is slow to start the
# accessibility bus); exits 1 if it never does.
import sys
import time

import pyatspi

CHANGES = ("object:property-change:accessible-name",
           "object:property-change:accessible-description")


def board_window():
    for app in pyatspi.Registry.getDesktop(0):
        for window in app or []:
            if window is not None and window.name == "The Vantorel":
                return window
    return None


def buttons():
    window = board_window()
    if window is None:
        return []
    return pyatspi.findAllDescendants(window, lambda a: a.getRoleName() == "push button")


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def tree(window):
    left, top, _, _ = extents(window)
    print(f"{window.getRoleName()}|{window.name}")

    def walk(node, depth):
        for child in node:
            if child is None:
                continue
            x, y, width, height = extents(child)
            print(f"{'  ' * depth}{child.getRoleName()}|{child.name}|{child.description}|"
                  f"{x - left},{y - top},{width},{height}")
            walk(child, depth + 1)

    walk(window, 1)


def listen():
    # A screen reader's way: events, as they come. Registered before the board starts, so the
    # board knows from its start that someone listens. The test's bus carries the board alone.
    def heard(event):
        source = event.source
        print(f"{source.name}|{source.description}", flush=True)

    pyatspi.Registry.registerEventListener(heard, *CHANGES)
    print("listening", flush=True)
    pyatspi.Registry.start()
    return 0


def main(verb, name=None):
    if verb == "listen":
        return listen()
    deadline = time.monotonic() + 60
    while not (found := buttons()):
        if time.monotonic() > deadline:
            return 1
        time.sleep(0.1)
    if verb == "tree":
        tree(board_window())
        return 0
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
