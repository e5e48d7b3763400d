#!/usr/bin/python3
"""What a screen reader finds in the running program, read over AT-SPI.

A development tool: it talks to the accessibility bus the way Orca does, so
that the names, roles and states the program gives assistive technology can
be checked on the real program, not only through Qt's own interfaces.

    tools/atspi_dump.py tree [--window TITLE] [--rows N]
        The accessible tree of the program's windows (or of the window whose
        title starts with TITLE): one line per object, indented, with its
        role, name, description and states. Tables show their first N rows.
    tools/atspi_dump.py tab COUNT
        Presses Tab COUNT times in the focused window (through xdotool) and
        after each press prints the object that announced it gained the
        focus: what a screen reader announces.
    tools/atspi_dump.py keys KEY...
        The same for other keys, named as xdotool names them (Right, space).

Run it on a display with the accessibility bus, e.g.:

    xvfb-run -a dbus-run-session -- sh -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately & sleep 1
        openbox & QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 HOME=$(mktemp -d) build/bin/ordana & sleep 5
        tools/atspi_dump.py tree'

It needs python3-pyatspi (Debian) and, for "tab", xdotool.
"""

import argparse
import subprocess
import sys
import time

import pyatspi

# The program registers under its caption, "Ordana 2004 Velto".
APPLICATION = "ordana"
SHOWN_STATES = [
    (pyatspi.STATE_FOCUSABLE, "focusable"),
    (pyatspi.STATE_FOCUSED, "focused"),
    (pyatspi.STATE_CHECKABLE, "checkable"),
    (pyatspi.STATE_CHECKED, "checked"),
    (pyatspi.STATE_SELECTED, "selected"),
    (pyatspi.STATE_EDITABLE, "editable"),
    (pyatspi.STATE_READ_ONLY, "read-only"),
    (pyatspi.STATE_SENSITIVE, "enabled"),
    (pyatspi.STATE_SHOWING, "showing"),
]


def application(timeout=20.0):
    """The program on the accessibility bus, waited for up to timeout seconds."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and (app.name or "").lower().startswith(APPLICATION):
                return app
        time.sleep(0.5)
    desktop = pyatspi.Registry.getDesktop(0)
    found = [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)]
    sys.exit(f"the program is not on the accessibility bus (found: {found})")


def states(node):
    held = node.getState()
    return [name for state, name in SHOWN_STATES if held.contains(state)]


def labelled_by(node):
    """The names of the labels that label the node (a combo box's caption)."""
    names = []
    try:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                for i in range(relation.getNTargets()):
                    names.append(relation.getTarget(i).name)
    except Exception:  # a node gone meanwhile
        pass
    return names


def line(node):
    """An object as a screen reader sees it: role, name, description, states."""
    text = f"{node.getRoleName()} \"{node.name}\""
    if node.description:
        text += f" – {node.description}"
    labels = labelled_by(node)
    if labels:
        text += f" [label: {', '.join(labels)}]"
    value = value_of(node)
    if value is not None:
        text += f" = \"{value}\""
    return text + f"  ({', '.join(states(node))})"


def value_of(node):
    """The text of an editable text or the value of a combo box, if any."""
    try:
        if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            text = node.queryText()
            return text.getText(0, -1).replace("\n", " | ")[:60]
    except NotImplementedError:
        pass
    return None


def dump(node, depth, rows, out):
    if node is None:
        return
    out.write("  " * depth + line(node) + "\n")
    count = node.childCount
    if node.getRole() == pyatspi.ROLE_TABLE:
        # The title row and the first rows of the table.
        try:
            table = node.queryTable()
            columns = table.nColumns
            count = min(count, columns * (rows + 1))
        except NotImplementedError:
            pass
    for i in range(count):
        dump(node.getChildAtIndex(i), depth + 1, rows, out)


def tree(args):
    app = application()
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if args.window and not (window.name or "").startswith(args.window):
            continue
        dump(window, 0, args.rows, sys.stdout)


def tab(args):
    press_keys(["Tab"] * args.count)


def keys(args):
    press_keys(args.keys)


def press_keys(names):
    """Presses the keys and prints the objects that announced they gained the
    focus, as a screen reader hears them (the last one of each press)."""
    from gi.repository import GLib

    application()
    heard = []

    def gained(event):
        if event.detail1 == 1:
            heard.append(event.source)

    pyatspi.Registry.registerEventListener(gained, "object:state-changed:focused")
    context = GLib.MainContext.default()

    def settle(seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while context.pending():
                context.iteration(False)
            time.sleep(0.02)

    settle(0.5)
    heard.clear()
    for press, name in enumerate(names, 1):
        subprocess.run(["xdotool", "key", name], check=True)
        settle(0.6)
        print(f"{press:2} {name}: " + (line(heard[-1]) if heard else "(no focus change)"))
        heard.clear()
    pyatspi.Registry.deregisterEventListener(gained, "object:state-changed:focused")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    tree_command = commands.add_parser("tree")
    tree_command.add_argument("--window", default="")
    tree_command.add_argument("--rows", type=int, default=2)
    tab_command = commands.add_parser("tab")
    tab_command.add_argument("count", type=int)
    keys_command = commands.add_parser("keys")
    keys_command.add_argument("keys", nargs="+")
    args = parser.parse_args()
    {"tree": tree, "tab": tab, "keys": keys}[args.command](args)


if __name__ == "__main__":
    main()
