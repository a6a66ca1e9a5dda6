#!/usr/bin/python3
# A blind player's game with the real screen reader in the loop: Orca, speech-dispatcher and espeak-ng (its
# audio going nowhere) in this private D-Bus session, on an X server with a window manager. A 4-card game is
# played from the setup window to the winner with keys only, and what Orca spoke is checked and printed.
#   tst_orca.py <pairfield>
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SITE = """import builtins, os
_open = builtins.open
def _line_buffered(file, mode="r", buffering=-1, *args, **kwargs):
    if file == os.environ.get("PF_ORCA_LOG") and "w" in mode:
        buffering = 1
    return _open(file, mode, buffering, *args, **kwargs)
builtins.open = _line_buffered
"""


class Reader:
    """Orca's speech, as its debug log lists it, read as it comes."""

    def __init__(self, log):
        self.log, self.spoken, self.seen, self.printed = log, [], 0, 0

    def said(self):
        with open(self.log, errors="replace") as log:
            self.spoken = [m.group(1) for m in re.finditer(r"SPEECH OUTPUT: '(.*?)'\s*\{", log.read())]
        return self.spoken

    def wait(self, what, test, timeout=30):
        """The first phrase since the last wait that `test` accepts."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            phrases = self.said()
            for phrase in phrases[self.printed:]:
                print("Orca:", phrase, flush=True)
            self.printed = len(phrases)
            for index in range(self.seen, len(phrases)):
                if test(phrases[index]):
                    self.seen = index + 1
                    return phrases[index]
            time.sleep(0.05)
        raise AssertionError(f"Orca never said {what}; it said: {self.spoken[self.seen:]}")


def key(*names):
    for name in names:
        subprocess.run(["xdotool", "key", "--delay", "0", name], check=True)


def play_game(reader):
    """Plays a 4-card game by keys, from PLAY to the winner, as a player with a perfect memory: a pair known
    from earlier turns first, else an unseen card, then its partner when it has been seen, else another
    unseen card. Returns whether the game had a miss."""
    start = len(reader.said())
    reader.wait("the game's start", lambda p: "4 cards in 4 rows of 1. Turn to play: " in p)
    faces, cursor, missed = {}, 1, False

    def move(card):
        nonlocal cursor
        if card != cursor:
            key(*(["Down"] * (card - cursor) + ["Up"] * (cursor - card)))
            cursor = card
            reader.wait(f"card {card} under the cursor", lambda p: p.startswith(f"Card {card}, row {card},"))

    def turn(card):
        move(card)
        key("space")
        said = reader.wait(f"card {card}'s face", lambda p: f"Card {card}: " in p)
        faces[card] = re.search(rf"Card {card}: (.*?)\.( |$)", said).group(1)
        return said

    key("Right")  # from QUIT onto the board, at card 1
    # Orca 48 and earlier end each phrase of a control with a full stop of their own, later ones do not: the
    # face read during the miss must be said exactly as this Orca says a control.
    stop = "." if reader.wait("card 1 under the cursor", lambda p: p.startswith("Card 1, row 1, column 1")) \
        .endswith(".") else ""
    pending = [1, 2, 3, 4]
    while pending:
        known = [a for a in pending for b in pending if a < b and a in faces and faces[a] == faces.get(b)]
        first = known[0] if known else next(c for c in pending if c not in faces)
        turn(first)
        partners = [c for c in pending if c != first and faces.get(c) == faces[first]]
        second = partners[0] if partners else next(c for c in pending if c != first and c not in faces)
        said = turn(second)
        if "No pair." in said:
            # While the miss is on show, the cursor goes back to the first card, which reads its face.
            missed = True
            move(first)
            reader.wait(f"card {first}'s face during the miss", lambda p: p == f"face up: {faces[first]}{stop}")
            reader.wait("the scores and the turn after the miss", lambda p: "pairs. Turn to play: " in p)
        else:
            assert "A pair." in said, "a pair was not told: " + said
            pending.remove(first)
            pending.remove(second)
    assert any("Congratulations" in p for p in reader.said()[start:]), "the winner was never spoken"
    return missed


def main(program):
    home = tempfile.mkdtemp()
    try:
        play(program, home)
    finally:
        shutil.rmtree(home, ignore_errors=True)


def play(program, home):
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=os.path.join(home, "run"),
               XDG_CONFIG_HOME=os.path.join(home, "config"), PYTHONPATH=os.path.join(home, "site"),
               PF_ORCA_LOG=os.path.join(home, "orca.log"),
               SPEECHD_ADDRESS="unix_socket:" + os.path.join(home, "run", "speechd.sock"))
    for folder in ("run", "config", "site"):
        os.makedirs(os.path.join(home, folder), mode=0o700)
    with open(os.path.join(home, "site", "sitecustomize.py"), "w") as site:
        site.write(SITE)
    # Sound goes to libao's null driver: with a real output missing, speech would hang.
    with open(os.path.join(home, ".libao"), "w") as libao:
        libao.write("default_driver=null\n")
    shutil.copytree("/etc/speech-dispatcher", os.path.join(home, "speechd"))
    conf = os.path.join(home, "speechd", "speechd.conf")
    # Whatever output the release chose (pulse, pipewire), which would block speech with no sound server.
    with open(conf, "a") as text:
        text.write('\nAudioOutputMethod "libao"\n')

    started = []
    try:
        started.append(subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL))
        started.append(subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-C", os.path.join(home, "speechd"),
                                         "-S", os.path.join(home, "run", "speechd.sock")], env=env,
                                        stderr=subprocess.DEVNULL))
        reader = Reader(env["PF_ORCA_LOG"])
        open(reader.log, "w").close()
        started.append(subprocess.Popen(["orca", "--replace", "--debug-file=" + reader.log], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        reader.wait("that it is on", lambda p: p == "Screen reader on.", 60)
        game = subprocess.Popen([program], env=env)
        started.append(game)
        reader.wait("the setup window", lambda p: p.startswith("Pairfield: Getting Started"))
        reader.wait("the first name box", lambda p: p.startswith("Name of player 1"))

        # Tab to the sizes, up to 4 cards, Tab to PLAY and press it.
        key("Tab", "Tab")
        reader.wait("the sizes' question", lambda p: p.startswith("How many cells do you want?"))
        key("Up", "Up", "Up", "Up", "Up")
        reader.wait("4 cards", lambda p: p.startswith("Board size: 4 cards"))
        key("Tab", "space")
        # A game whose first two cards are a pair leaves no miss to make: then PLAY again, until one comes.
        for _ in range(12):
            if play_game(reader):
                break
            key("alt+Tab")
            reader.wait("PLAY again", lambda p: p.startswith("PLAY"))
            key("space")
        else:
            raise AssertionError("twelve games without a miss")

        key("Escape")
        reader.wait("QUIT", lambda p: p.startswith("QUIT"))
        # Space clicks on release, so no key is left waiting for Orca's answer when the program ends.
        key("space")
        assert game.wait(20) == 0, "the game did not end with status 0"
    finally:
        for process in reversed(started):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()


if __name__ == "__main__":
    main(sys.argv[1])
