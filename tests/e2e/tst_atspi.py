#!/usr/bin/python3
"""Plays a short game the way a screen reader does: through the AT-SPI bus, never the mouse.

    tst_atspi.py <pairfield>

Run inside a private D-Bus session on an X server (dbus-run-session, xvfb-run); D-Bus activation starts
the accessibility bus and its registry. Prints what a screen reader would read at each step, and fails on
the first thing that does not read as it should.
"""
import os
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

TIMEOUT = 20.0


class Failed(Exception):
    pass


def wait_for(what, probe, timeout=TIMEOUT):
    """The first true value of probe(), pumping the bus's events meanwhile."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        GLib.MainContext.default().iteration(False)
        value = probe()
        if value:
            return value
        time.sleep(0.02)
    raise Failed("gave up waiting for " + what)


def descendants(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, name, role=None):
    for node in descendants(root):
        if node.get_name() == name and (role is None or node.get_role_name() == role):
            return node
    return None


def actions(node):
    with warnings.catch_warnings():  # its newer name is not in Debian 12's bindings yet
        warnings.simplefilter("ignore", DeprecationWarning)
        return [node.get_action_name(i) for i in range(node.get_n_actions())]


def press(node):
    names = [name.lower() for name in actions(node)]
    if "press" not in names:
        raise Failed(f"{node.get_name()} offers no press action ({names})")
    node.do_action(names.index("press"))


def reading(node):
    """What a screen reader says of a control: name, role, description."""
    parts = [node.get_name(), node.get_role_name(), node.get_description()]
    return ", ".join(part for part in parts if part)


def say(step, text):
    print(f"{step:<34} {text}", flush=True)


def expect(what, actual, expected):
    if actual != expected:
        raise Failed(f"{what}: {actual!r}, expected {expected!r}")


def play(program):
    heard = []

    def on_event(event):
        source = event.source
        if event.type.endswith("accessible-description"):
            heard.append(f"{source.get_name()}: {source.get_description()}")
        else:
            heard.append(source.get_name())

    listener = Atspi.EventListener.new(on_event)
    listener.register("object:property-change:accessible-description")
    listener.register("object:property-change:accessible-name")
    # The reader is up before the game, as a screen reader is: the bus and its registry are running.
    Atspi.get_desktop(0).get_child_count()
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    game = subprocess.Popen([program], env=environment)
    try:

        def application():
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if app is not None and app.get_process_id() == game.pid:
                    return app
            return None

        app = wait_for("the program on the accessibility bus", application)
        # Read afresh every time, as the game changes under the reader.
        app.set_cache_mask(Atspi.Cache.NONE)
        setup = wait_for("the setup window", lambda: find(app, "Pairfield: Getting Started", "frame"))
        say("Setup window:", reading(setup))
        size = find(setup, "Board size: 24 cards", "radio button")
        say("Selected size:", reading(size))
        expect("the selected size", size.get_state_set().contains(Atspi.StateType.CHECKED), True)
        say("First name box:", reading(find(setup, "Name of player 1")))
        play_button = find(setup, "PLAY", "push button")
        say("PLAY:", reading(play_button) + f" [actions: {', '.join(actions(play_button))}]")

        press(play_button)
        board = wait_for("the game window", lambda: find(app, "Pairfield", "frame"))
        say("Game window:", reading(board))
        turn = wait_for("the turn label", lambda: next(
            (n for n in descendants(board) if n.get_name().startswith("Turn to play: ")), None))
        say("Turn label:", turn.get_name())
        first, second = find(board, "Card 1"), find(board, "Card 2")
        expect("cards on the board", sum(n.get_name().startswith("Card ") for n in descendants(board)), 24)
        say("Card 1:", reading(first))
        expect("Card 1 before it turns", first.get_description(), "face down")
        expect("Card 1 shows", first.get_state_set().contains(Atspi.StateType.SHOWING), True)

        starting = turn.get_name()
        press(first)
        wait_for("Card 1 to turn", lambda: first.get_description().startswith("face up: "))
        say("Press Card 1:", reading(first))
        expect("a face-up card's actions", [a.lower() for a in actions(first)], [])
        press(second)
        wait_for("Card 2 to turn", lambda: second.get_description() != "face down")
        say("Press Card 2:", reading(second))
        pair = first.get_description() == second.get_description()
        if not pair:
            # The pause holds the game, not the reader: both faces can be read while they are on show.
            say("During the pause:", f"{reading(first)}; {reading(second)}; {turn.get_name()}")
            expect("the turn during the pause", turn.get_name(), starting)
            wait_for("the miss to be covered", lambda: second.get_description() == "face down", 6)
            say("After the pause:", f"{reading(first)}; {reading(second)}")
            expect("Card 1 after the miss", first.get_description(), "face down")
        turn = wait_for("the turn to pass", lambda: next(
            (n for n in descendants(board) if n.get_name().startswith("Turn to play: ")
             and n.get_name() != starting), None))
        say("Turn label:", turn.get_name())
        scores = [n.get_name() for n in descendants(board) if n.get_name().endswith(("pair", "pairs"))]
        say("Scores:", "; ".join(scores))
        expect("the scores", len(scores), 2)
        wait_for("the announcements", lambda: any(h.startswith("Turn to play") for h in heard))
        say("Announced:", " | ".join(heard))
        expect("Card 1's turn announced", any(h.startswith("Card 1: face up: ") for h in heard), True)

        press(find(board, "QUIT", "push button"))
        status = game.wait(TIMEOUT)
        expect("the exit status", status, 0)
        say("QUIT:", "the program ended")
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()


if __name__ == "__main__":
    try:
        play(sys.argv[1])
    except Failed as failure:
        print("FAIL:", failure, flush=True)
        sys.exit(1)
