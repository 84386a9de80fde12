#!/usr/bin/python3
# Walks a running Qt program's windows through AT-SPI, as a screen reader meets them, and fails
# when a control that shows a value has no name, or a name that is not the start of its
# "Caption: value" description, or a frame has no name.
import sys
import time

import pyatspi

# The programs share their Qt application name; the description is the executable's path.
APPLICATION = "drivanta"

VALUE_ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_ENTRY}


def find_application(program, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == APPLICATION and app.description.endswith(program):
                return app
        time.sleep(0.2)
    return None


def walk(node, problems, seen):
    role = node.getRole()
    name = node.name or ""
    description = node.description or ""
    if role in VALUE_ROLES and not name:
        problems.append(f"{node.getRoleName()} without a name")
    if description and ": " in description and not description.startswith(name + ":"):
        problems.append(f"{node.getRoleName()} '{name}' described as '{description}'")
    if role in (pyatspi.ROLE_PANEL, pyatspi.ROLE_GROUPING) and node.childCount > 0 and not name:
        problems.append("a frame without a name")
    seen.append((node.getRoleName(), name))
    for child in node:
        if child is not None:
            walk(child, problems, seen)


def main():
    app = find_application(sys.argv[1], 8)
    if app is None:
        print(f"{sys.argv[1]}: not on the accessibility bus")
        return 1
    problems, seen = [], []
    walk(app, problems, seen)
    for problem in problems:
        print(f"{sys.argv[1]}: {problem}")
    named = sum(1 for role, name in seen if name)
    print(f"{sys.argv[1]}: {len(seen)} accessible objects, {named} named, {len(problems)} problems")
    return 1 if problems or len(seen) < 5 else 0


sys.exit(main())
