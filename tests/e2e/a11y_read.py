#!/usr/bin/env python3
"""Reads what a running program shows, the way a screen reader does: over
the accessibility bus (AT-SPI), so that the e2e scripts check the screen
through it instead of through pixels.

The program must run on the same session bus with its accessibility on (a
Qt program: QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1).

  a11y_read.py [--pid PID] [--all] dump
      one line per object: role, name, description, text and states, tab
      separated, indented by depth
  a11y_read.py [--pid PID] [--all] [--role ROLE] [--desc RE] [--checked] [--text] find RE
      the names of the objects whose name or text matches RE (their texts
      with --text); --checked keeps only checked objects
  a11y_read.py ... [--timeout S] wait RE
      as find, but polls (at most S seconds, 15 by default) until something
      matches; exits 1 if nothing did

Only objects on screen (the SHOWING state) are looked at unless --all is
given. A role is given as AT-SPI names it: "label", "push button",
"check box", "radio button".
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
    try:
        if not acc.get_interfaces() or "Text" not in acc.get_interfaces():
            return ""
        return Atspi.Text.get_text(acc, 0, Atspi.Text.get_character_count(acc)) or ""
    except Exception:
        return ""


def has_state(acc, state):
    try:
        return acc.get_state_set().contains(state)
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


def walk(root, everything):
    """The objects under root with their depth, depth first; hidden objects
    and all below them are left out unless everything is set."""
    stack = [(root, 0)]
    count = 0
    while stack and count < MAX_OBJECTS:
        acc, depth = stack.pop()
        count += 1
        yield acc, depth
        try:
            n = acc.get_child_count()
        except Exception:
            continue
        children = []
        for i in range(n):
            try:
                c = acc.get_child_at_index(i)
            except Exception:
                c = None
            if c is None:
                continue
            if depth > 0 and not everything and not has_state(c, Atspi.StateType.SHOWING):
                continue
            children.append((c, depth + 1))
        stack.extend(reversed(children))


def describe(acc):
    try:
        role = acc.get_role_name() or ""
        name = acc.get_name() or ""
        desc = acc.get_description() or ""
    except Exception:
        return None
    return role, name, desc, text_of(acc)


def matches(args, pattern):
    found = []
    for app in applications(args.pid):
        for acc, depth in walk(app, args.all):
            if depth == 0:
                continue
            d = describe(acc)
            if d is None:
                continue
            role, name, desc, text = d
            if args.role and role != args.role.replace("-", " "):
                continue
            if args.desc and not re.search(args.desc, desc):
                continue
            if args.checked and not has_state(acc, Atspi.StateType.CHECKED):
                continue
            if pattern.search(name) or pattern.search(text):
                found.append(text if args.text else name)
    return found


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--pid", type=int)
    p.add_argument("--all", action="store_true")
    p.add_argument("--role")
    p.add_argument("--desc")
    p.add_argument("--checked", action="store_true")
    p.add_argument("--text", action="store_true")
    p.add_argument("--timeout", type=float, default=15.0)
    p.add_argument("command", choices=["dump", "find", "wait"])
    p.add_argument("pattern", nargs="?", default=".")
    args = p.parse_args()
    if args.command == "dump":
        for app in applications(args.pid):
            for acc, depth in walk(app, args.all):
                d = describe(acc)
                if d is None:
                    continue
                states = []
                for s in (Atspi.StateType.CHECKED, Atspi.StateType.FOCUSED):
                    if has_state(acc, s):
                        states.append(s.value_nick)
                print("  " * depth + "\t".join(list(d) + [",".join(states)]))
        return 0
    pattern = re.compile(args.pattern)
    deadline = time.monotonic() + (args.timeout if args.command == "wait" else 0)
    while True:
        found = matches(args, pattern)
        if found or time.monotonic() >= deadline:
            break
        time.sleep(0.2)
    for f in found:
        print(f)
    return 0 if found else 1


if __name__ == "__main__":
    sys.exit(main())
