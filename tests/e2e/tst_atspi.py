#!/usr/bin/python3
# Plays a short game the way a screen reader does, through the AT-SPI bus and never the mouse, and prints
# what a reader would say at each step:  tst_atspi.py <pairfield>
# Runs in a private D-Bus session on an X server, or on Wayland (wayland.sh), where it also finds the first face
# turned on the screen, pixel for pixel; D-Bus activation starts the accessibility bus.
import glob
import os
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def wait_for(what, probe, timeout=20.0):
    """The first true value of probe(), answering the bus's events meanwhile."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        GLib.MainContext.default().iteration(False)
        value = probe()
        if value:
            return value
        time.sleep(0.02)
    raise AssertionError("gave up waiting for " + what)


def expect(what, actual, expected):
    assert actual == expected, f"{what}: {actual!r}, expected {expected!r}"


def descendants(node):
    for child in (node.get_child_at_index(i) for i in range(node.get_child_count())):
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, test):
    return next((node for node in descendants(root) if test(node.get_name())), None)


def actions(node):
    with warnings.catch_warnings():  # the newer name is not in Debian 12's bindings yet
        warnings.simplefilter("ignore", DeprecationWarning)
        return [node.get_action_name(i).lower() for i in range(node.get_n_actions())]


def press(node):
    node.do_action(actions(node).index("press"))


def reading(node):
    return ", ".join(part for part in (node.get_name(), node.get_role_name(), node.get_description()) if part)


def say(step, text):
    print(f"{step:<20} {text}", flush=True)


def shown_on_screen(program, name, scale):
    """Whether the screen shows, pixel for pixel, the picture named `name` as drawn for `scale`."""
    from PIL import Image

    folder = os.path.dirname(os.path.realpath(program))
    for number in range(1, 21):
        with Image.open(os.path.join(folder, f"F{number}.gif")) as face:
            if face.info.get("comment", b"").decode() == name:
                break
    else:
        raise AssertionError("no picture is named " + name)
    twin = f"F{number}@2x.gif" if scale == "2" else f"F{number}.gif"
    with Image.open(os.path.join(folder, twin)) as picture:
        rows = [picture.convert("RGB").tobytes()[y * picture.width * 3:(y + 1) * picture.width * 3]
                for y in range(picture.height)]
    with tempfile.TemporaryDirectory() as shots:
        subprocess.run(["weston-screenshooter"], cwd=shots, check=True)
        with Image.open(glob.glob(os.path.join(shots, "*.png"))[0]) as shot:
            width, pixels = shot.width, shot.convert("RGB").tobytes()
    line = width * 3
    for y in range(len(pixels) // line - len(rows) + 1):
        x = pixels[y * line:(y + 1) * line].find(rows[0])
        while x >= 0:
            if x % 3 == 0 and all(pixels[(y + k) * line + x:(y + k) * line + x + len(row)] == row
                                  for k, row in enumerate(rows)):
                say("On screen:", f"{twin}, {len(rows[0]) // 3} x {len(rows)} pixels, at {x // 3}, {y}")
                return True
            x = pixels[y * line:(y + 1) * line].find(rows[0], x + 1)
    return False


def play(program):
    heard = []
    listener = Atspi.EventListener.new(lambda event: heard.append(
        f"{event.source.get_name()}: {event.source.get_description()}"
        if event.type.endswith("description") else event.source.get_name()))
    listener.register("object:property-change:accessible-description")
    listener.register("object:property-change:accessible-name")
    # The reader is up before the game, as a screen reader is: the bus and its registry are running.
    desktop = Atspi.get_desktop(0)
    game = subprocess.Popen([program], env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    try:
        app = wait_for("the program on the bus", lambda: next((
            a for a in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count()))
            if a is not None and a.get_process_id() == game.pid), None))
        app.set_cache_mask(Atspi.Cache.NONE)  # read afresh every time, as the game changes
        setup = wait_for("the setup window", lambda: find(app, lambda n: n == "Pairfield: Getting Started"))
        size, name, play_button = (find(setup, lambda n, name=name: n == name)
                                   for name in ("Board size: 24 cards", "Name of player 1", "PLAY"))
        say("Setup:", "; ".join(reading(n) for n in (setup, size, name)))
        expect("the chosen size", size.get_state_set().contains(Atspi.StateType.CHECKED), True)
        say("Setup:", f"{reading(play_button)} (actions: {', '.join(actions(play_button))})")

        press(play_button)
        board = wait_for("the game window", lambda: find(app, lambda n: n == "Pairfield"))
        expect("the game window's role", board.get_role_name(), "frame")
        turn = wait_for("the turn", lambda: find(board, lambda n: n.startswith("Turn to play: ")))
        first, second = (find(board, lambda n, k=k: n.startswith(f"Card {k},")) for k in (1, 2))
        expect("cards", sum(1 for n in descendants(board) if n.get_name().startswith("Card ")), 24)
        say("PLAY:", f"{reading(board)}; {turn.get_name()}; {reading(first)}")
        expect("Card 1 before it turns", first.get_description(), "face down")

        starting = turn.get_name()
        press(first)
        wait_for("Card 1 to turn", lambda: first.get_description().startswith("face up: "))
        say("Press Card 1:", reading(first))
        scale = os.environ.get("PF_SCREENSHOT_SCALE")
        if scale:
            name = first.get_description()[len("face up: "):]
            wait_for("Card 1's picture on the screen", lambda: shown_on_screen(program, name, scale))
        expect("a face-up card's actions", actions(first), [])
        press(second)
        wait_for("Card 2 to turn", lambda: second.get_description() != "face down")
        say("Press Card 2:", reading(second))
        if first.get_description() != second.get_description():
            # The pause holds the game, not the reader: both faces can be read while they are on show.
            say("During the pause:", f"{reading(first)}; {reading(second)}; {turn.get_name()}")
            expect("the turn during the pause", turn.get_name(), starting)
            wait_for("the miss to be covered", lambda: second.get_description() == "face down", 6)
            expect("Card 1 after the miss", first.get_description(), "face down")
            say("After the pause:", f"{reading(first)}; {reading(second)}")
        wait_for("the turn to pass", lambda: turn.get_name() != starting)
        scores = [n.get_name() for n in descendants(board) if n.get_name().endswith(("pair", "pairs"))]
        say("Then:", "; ".join([turn.get_name()] + scores))
        expect("the scores", len(scores), 2)
        wait_for("the announcements", lambda: turn.get_name() in heard)
        say("Announced:", " | ".join(heard))
        expect("Card 1's turn announced", any(h.startswith("Card 1, row 1, column 1: face up: ") for h in heard), True)

        press(find(board, lambda n: n == "QUIT"))
        expect("the exit status", game.wait(20), 0)
        say("Press QUIT:", "the program ends")
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()


if __name__ == "__main__":
    play(sys.argv[1])
