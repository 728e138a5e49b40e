#!/usr/bin/python3
"""Reads what a running program shows, the way a screen reader does: over
the accessibility bus (AT-SPI). For the e2e scripts, which check the screen
through it instead of through pixels.

The program must be started on a session bus with its accessibility on
(a Qt program: QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1); a11y_session in
xsession.sh sets both up.

  a11y_read.py [--pid PID] [--all] dump
      one line per object: role, name, description and text, tab separated,
      indented by depth
  a11y_read.py [--pid PID] [--all] [--role ROLE] [--desc RE]
              [--with STATE] [--without STATE] find RE
      the names (or texts) of the objects whose name or text matches RE;
      --with and --without keep those in (or not in) an AT-SPI state such
      as enabled, checked or focused
  a11y_read.py [same options] [--timeout S] wait RE
      as find, but polls (at most S seconds, 15 by default) until something
      matches; exits 1 if nothing did
  a11y_read.py [same options] describe RE
      the descriptions of the objects whose name matches RE: what a
      screen reader says after the name (a chart's values, "correct
      answer")
  a11y_read.py [--pid PID] [--all] unnamed
      every object a screen reader cannot name: focusable or an image,
      with an empty name; one line each (role and the names of the objects
      above it); exits 1 if there is any
  a11y_read.py [--pid PID] focus
      the role and name of the object that has the keyboard focus
  a11y_read.py [--pid PID] listen SECONDS
      for that long, one line per name change or text change a screen
      reader would be told of: event type, role and name of its object;
      "listening" on standard error once it listens

Only objects on screen (the SHOWING state) are looked at unless --all is
given. Without --pid every application on the bus is searched. A role is
given as AT-SPI names it, with spaces or dashes: "label", "push button",
"check box", "radio button", "text", "list item", "table cell".
"""

import argparse
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# A tree larger than this is a loop in a broken tree, not a window.
MAX_OBJECTS = 20000


def text_of(acc):
    """The text of an object with a text interface (an edit, a label)."""
    try:
        if "Text" not in acc.get_interfaces():
            return ""
        n = Atspi.Text.get_character_count(acc)
        return Atspi.Text.get_text(acc, 0, n) or ""
    except Exception:
        return ""


def is_showing(acc):
    try:
        return acc.get_state_set().contains(Atspi.StateType.SHOWING)
    except Exception:
        return False


def applications(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None:
            continue
        if pid is not None:
            try:
                if app.get_process_id() != pid:
                    continue
            except Exception:
                continue
        yield app


def walk(root, everything, depth=0, seen=None):
    """The objects under root, depth first, with their depth. Hidden
    objects and all below them are left out unless everything is set."""
    if seen is None:
        seen = [0]
    seen[0] += 1
    if seen[0] > MAX_OBJECTS:
        return
    yield root, depth
    try:
        n = root.get_child_count()
    except Exception:
        return
    for i in range(n):
        try:
            child = root.get_child_at_index(i)
        except Exception:
            continue
        if child is None:
            continue
        if not everything and not is_showing(child):
            continue
        yield from walk(child, everything, depth + 1, seen)


def describe(acc):
    try:
        role = acc.get_role_name() or ""
    except Exception:
        role = ""
    try:
        name = acc.get_name() or ""
    except Exception:
        name = ""
    try:
        desc = acc.get_description() or ""
    except Exception:
        desc = ""
    return role, name, desc, text_of(acc)


def one_line(s):
    return s.replace("\r", " ").replace("\n", " ")


def state_type(name):
    return getattr(Atspi.StateType, name.upper().replace("-", "_").replace(" ", "_"))


def matches(args, pattern):
    role_wanted = args.role.replace("-", " ").lower() if args.role else None
    desc_re = re.compile(args.desc) if args.desc else None
    with_states = [state_type(n) for n in args.with_state]
    without_states = [state_type(n) for n in args.without_state]
    found = []
    for app in applications(args.pid):
        for acc, _depth in walk(app, args.all):
            role, name, desc, text = describe(acc)
            if role_wanted and role.lower() != role_wanted:
                continue
            if with_states or without_states:
                try:
                    states = acc.get_state_set()
                except Exception:
                    continue
                if not all(states.contains(s) for s in with_states):
                    continue
                if any(states.contains(s) for s in without_states):
                    continue
            if desc_re and not desc_re.search(desc):
                continue
            if pattern.search(name):
                found.append(name)
            elif text and pattern.search(text):
                found.append(text)
    return found


def unnamed(args):
    """Focusable or image objects with no name, as (role, path) pairs."""
    found = []

    def visit(acc, path, depth):
        if depth > 60:
            return
        role, name, _desc, _text = describe(acc)
        try:
            focusable = acc.get_state_set().contains(Atspi.StateType.FOCUSABLE)
        except Exception:
            focusable = False
        if (focusable or role == "image") and not name.strip():
            found.append((role, " / ".join(path)))
        try:
            n = acc.get_child_count()
        except Exception:
            return
        for i in range(n):
            try:
                child = acc.get_child_at_index(i)
            except Exception:
                continue
            if child is None or (not args.all and not is_showing(child)):
                continue
            visit(child, path + [name or role], depth + 1)

    for app in applications(args.pid):
        visit(app, [], 0)
    return found


def listen(pid, seconds):
    from gi.repository import GLib

    def heard(event):
        try:
            source = event.source
            if pid is not None and source.get_application().get_process_id() != pid:
                return
            role, name = source.get_role_name() or "", source.get_name() or ""
        except Exception:
            return
        print(event.type + "\t" + role + "\t" + one_line(name), flush=True)

    listener = Atspi.EventListener.new(heard)
    for kind in ("object:property-change:accessible-name", "object:text-changed"):
        listener.register(kind)
    # Told on standard error, so that a script can act once nothing it
    # causes can be missed.
    print("listening", file=sys.stderr, flush=True)
    GLib.timeout_add(int(seconds * 1000), lambda: Atspi.event_quit() or False)
    Atspi.event_main()
    return 0


def main():
    p = argparse.ArgumentParser(description="Reads a program's screen over AT-SPI.")
    p.add_argument("--pid", type=int, help="only the application with this process id")
    p.add_argument("--all", action="store_true", help="hidden objects too")
    p.add_argument("--role", help="only objects of this role")
    p.add_argument("--desc", help="only objects whose description matches this")
    p.add_argument("--with", dest="with_state", action="append", default=[],
                   help="only objects in this state (enabled, checked, focused, ...)")
    p.add_argument("--without", dest="without_state", action="append", default=[],
                   help="only objects not in this state")
    p.add_argument("--timeout", type=float, default=15.0, help="seconds that wait polls")
    p.add_argument("command",
                   choices=["dump", "find", "wait", "focus", "listen", "describe", "unnamed"])
    p.add_argument("pattern", nargs="?", default="")
    args = p.parse_args()

    Atspi.init()
    if args.command == "dump":
        for app in applications(args.pid):
            for acc, depth in walk(app, args.all):
                fields = [one_line(f) for f in describe(acc)]
                print("  " * depth + "\t".join(fields))
        return 0
    if args.command == "focus":
        for app in applications(args.pid):
            for acc, _depth in walk(app, False):
                try:
                    focused = acc.get_state_set().contains(Atspi.StateType.FOCUSED)
                except Exception:
                    focused = False
                if focused:
                    role, name, _desc, _text = describe(acc)
                    print(role + "\t" + one_line(name))
                    return 0
        return 1

    if args.command == "listen":
        return listen(args.pid, float(args.pattern or "1"))

    if args.command == "unnamed":
        found = unnamed(args)
        for role, path in found:
            print(role + "\t" + one_line(path))
        return 1 if found else 0

    if args.command == "describe":
        pattern = re.compile(args.pattern)
        role_wanted = args.role.replace("-", " ").lower() if args.role else None
        said = []
        for app in applications(args.pid):
            for acc, _depth in walk(app, args.all):
                role, name, desc, _text = describe(acc)
                if role_wanted and role.lower() != role_wanted:
                    continue
                if pattern.search(name):
                    said.append(desc)
        for d in said:
            print(one_line(d))
        return 0 if said else 1

    pattern = re.compile(args.pattern)
    deadline = time.monotonic() + (args.timeout if args.command == "wait" else 0)
    while True:
        found = matches(args, pattern)
        if found:
            for f in found:
                print(one_line(f))
            return 0
        if time.monotonic() >= deadline:
            return 1
        time.sleep(0.2)


if __name__ == "__main__":
    sys.exit(main())
