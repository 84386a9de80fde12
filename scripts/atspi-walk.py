#!/usr/bin/python3
# Walks a running Qt program's windows through AT-SPI, as a screen reader meets them, and fails
# when a control that shows a value has no name, or a name that is not the start of its
# "Caption: value" description, or a frame has no name; when Tab does not visit every control
# that takes the focus, in reading order; and, as asked, when a change of state is not announced.
#   atspi-walk.py PROGRAM [--announces TEXT --within SECONDS] [--question cancel|update]
# --announces: the program changes state by itself within SECONDS (a device that leaves), and
# says so with a name that holds TEXT.
# --question: Space on the focused button asks the question before an update; its window is
# walked too, then answered by keys, and an update that is let run must announce its progress.
import argparse
import sys
import time

import pyatspi
from gi.repository import GLib

# The programs share their Qt application name; the description is the executable's path.
APPLICATION = "drivanta"

VALUE_ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_ENTRY}
# What Tab must reach. A value shown as selectable text in a label is focused by the mouse only
# (it is read in the screen reader's review of the window); fields, buttons, choosers and charts
# take the focus from the keyboard.
TAB_ROLES = VALUE_ROLES | {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_CHART}
# X keycodes of the virtual display's keyboard.
TAB, SPACE, ESCAPE = 23, 65, 9


def pump(seconds, until=lambda: False):
    """Lets the accessibility bus deliver its events meanwhile."""
    deadline = time.time() + seconds
    context = GLib.MainContext.default()
    while time.time() < deadline and not until():
        while context.iteration(False):
            pass
        time.sleep(0.05)
    return until()


def press(keycode):
    pyatspi.Registry.generateKeyboardEvent(keycode, None, pyatspi.KEY_PRESSRELEASE)
    pump(0.3)


def find_application(program, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == APPLICATION and app.description.endswith(program):
                return app
        time.sleep(0.2)
    return None


def walk(node, problems, seen, interactive):
    role = node.getRole()
    name = node.name or ""
    description = node.description or ""
    states = node.getState()
    if role in VALUE_ROLES and not name:
        problems.append(f"{node.getRoleName()} without a name")
    if description and ": " in description and not description.startswith(name + ": "):
        problems.append(f"{node.getRoleName()} '{name}' described as '{description}'")
    if ":  " in description:
        problems.append(f"{node.getRoleName()} '{name}' described with a pause: '{description}'")
    if role in (pyatspi.ROLE_PANEL, pyatspi.ROLE_GROUPING) and node.childCount > 0 and not name:
        problems.append("a frame without a name")
    seen.append((node.getRoleName(), name))
    if (role in TAB_ROLES and states.contains(pyatspi.STATE_FOCUSABLE)
            and states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_ENABLED)):
        interactive.append(node)
    for child in node:
        if child is not None:
            walk(child, problems, seen, interactive)


def focused(node):
    """The control that has the focus; a group that holds it may say it is focused too."""
    if node.getRole() in TAB_ROLES and node.getState().contains(pyatspi.STATE_FOCUSED):
        return node
    for child in node:
        if child is not None:
            found = focused(child)
            if found is not None:
                return found
    return None


def label(node):
    return f"{node.getRoleName()} '{node.name}'" if node is not None else "nothing"


def check_tab_order(window, interactive, problems):
    """Tab from the focused control round the window: every control that takes the focus, in
    the order they are read, and back to the start."""
    if not interactive:
        problems.append("no control takes the focus")
        return
    visited = []
    for _ in range(len(interactive)):
        visited.append(focused(window))
        press(TAB)
    if focused(window) != visited[0]:
        problems.append(f"Tab does not come back to {label(visited[0])}")
    if visited[0] not in interactive:
        problems.append(f"the focus starts on {label(visited[0])}, not a control of the window")
        return
    start = interactive.index(visited[0])
    expected = interactive[start:] + interactive[:start]
    for step, (got, want) in enumerate(zip(visited, expected)):
        if got != want:
            problems.append(f"Tab {step}: {label(got)} where the reading order has {label(want)}")
            break


def examine(window, problems):
    seen, interactive = [], []
    walk(window, problems, seen, interactive)
    check_tab_order(window, interactive, problems)
    return seen


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--announces", default="")
    parser.add_argument("--within", type=float, default=20)
    parser.add_argument("--question", choices=["cancel", "update"])
    args = parser.parse_args()
    program = args.program

    announcements = []

    def heard(event):
        # The event carries its source's role and new name: asked for later, when a backlog of
        # events has been read, the program may have closed its window.
        try:
            role, name = event.source_role, event.source_name
        except GLib.Error:
            return
        if role in (pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_PROGRESS_BAR):
            announcements.append(f"{event.type} {name}")

    pyatspi.Registry.registerEventListener(
        heard, "object:property-change:accessible-name",
        "object:property-change:accessible-description", "object:property-change:accessible-value")

    app = find_application(program, 8)
    if app is None:
        print(f"{program}: not on the accessibility bus")
        return 1
    pump(1)
    window = app[0]
    extents = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    # Keys go to the window under the pointer when no window manager gives the focus.
    pyatspi.Registry.generateMouseEvent(extents.x + 5, extents.y + 5, "abs")
    pump(0.3)
    problems = []
    seen = examine(window, problems)

    if args.question:
        press(SPACE)
        if not pump(5, lambda: app.childCount > 1):
            problems.append("Space on the focused button asked nothing")
        else:
            question = app[app.childCount - 1]
            if question.getRole() not in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FRAME):
                problems.append(f"the question is a {question.getRoleName()}")
            seen += examine(question, problems)
            del announcements[:]
            if args.question == "cancel":
                press(ESCAPE)
            else:
                # Pressed as a screen reader presses a button: through its action.
                answers = [node for node in pyatspi.findAllDescendants(
                    question, lambda node: node.getRole() == pyatspi.ROLE_PUSH_BUTTON)
                    if node.name == "Update"]
                if not answers:
                    problems.append("the question has no button 'Update'")
                else:
                    answers[0].queryAction().doAction(0)
                # Its progress, on the button: the end is shown for two seconds only, and read
                # from a program that is busy updating, events queue up past it.
                if not pump(30, lambda: any("accessible-name Updating" in a for a in announcements)):
                    problems.append("the update's progress was not announced")
    if args.announces:
        if not pump(args.within, lambda: any(args.announces in a for a in announcements)):
            problems.append(f"'{args.announces}' not announced within {args.within:g} s")

    for problem in problems:
        print(f"{program}: {problem}")
    named = sum(1 for role, name in seen if name)
    print(f"{program}: {len(seen)} accessible objects, {named} named, {len(problems)} problems")
    return 1 if problems or len(seen) < 5 else 0


sys.exit(main())
