#!/usr/bin/env python3
"""The game's start-up, memory and PLAY against two floors, measured in one run, the programs interleaved:

    xvfb-run -a -s '-screen 0 1280x1024x24' tests/windows/bench_startup.py build/release [rounds]

The floors are plain Qt Widgets programs (bench_floor): the bare floor shows one empty window, the text floor
one window with a label, a line edit, a radio button and a push button that shows a second, empty window.
Start-up is the time from the start of a process to the map of its first window; memory is the peak resident
size, the game's after PLAY of a 40-card board has shown its window; PLAY is the time from the click to the
map of the game window, less the same for the text floor's button, which is what a click costs to deliver
and a window to map. Each figure is the median of the rounds, at scale factor 1 and at 2 (QT_SCALE_FACTOR, the
floors too). Run it on a quiet machine: it measures time, it is not a test."""
import ctypes
import os
import select
import statistics
import subprocess
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                      ctypes.c_int, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(ctypes.c_ulong)]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("longs", ctypes.c_long * 24)]


display = x11.XOpenDisplay(None)
if not display:
    sys.exit("bench_startup: no X display")
root = x11.XDefaultRootWindow(display)
x11.XSelectInput(display, root, SUBSTRUCTURE_NOTIFY_MASK)
x11.XFlush(display)


def next_map(timeout=20.0):
    """The window that is mapped next on the screen, and when."""
    deadline = time.perf_counter() + timeout
    event = XEvent()
    while True:
        while x11.XPending(display):
            x11.XNextEvent(display, ctypes.byref(event))
            if event.type == MAP_NOTIFY:
                return event.longs[5], time.perf_counter()  # XMapEvent.window
        left = deadline - time.perf_counter()
        if left <= 0:
            sys.exit("bench_startup: no window was mapped")
        select.select([x11.XConnectionNumber(display)], [], [], left)


def click(window, x, y):
    """A click at (x, y) pixels of the window."""
    rx, ry, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
    x11.XTranslateCoordinates(display, window, root, x, y, ctypes.byref(rx), ctypes.byref(ry), ctypes.byref(child))
    xtst.XTestFakeMotionEvent(display, -1, rx.value, ry.value, 0)
    xtst.XTestFakeButtonEvent(display, 1, True, 0)
    xtst.XTestFakeButtonEvent(display, 1, False, 0)
    x11.XFlush(display)


def peak_memory(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024  # MB
    return 0.0


def settle():
    """Time for the window to paint; a benchmark's pause, not a test's."""
    time.sleep(0.3)


def run(command, scale, play, game):
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR=str(scale))
    start = time.perf_counter()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window, shown = next_map()
    figures = {"start-up": (shown - start) * 1000}
    if not game:  # a floor's memory is that of its one window
        settle()
        figures["memory"] = peak_memory(process.pid)
    if play:
        px = lambda twips: int(twips / 15 * scale)
        click(window, px(1320 + 100), px(5400 + 187))  # the 40-card option
        settle()
        pressed = time.perf_counter()
        click(window, px(8160 + 847), px(1920 + 547))  # PLAY
        _, played = next_map()
        figures["PLAY"] = (played - pressed) * 1000
    if game:
        settle()
        figures["memory"] = peak_memory(process.pid)
    process.kill()
    process.wait()
    return figures


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build/release"
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 9
    programs = {  # command, PLAY pressed, the game
        "bare floor": ([f"{build}/bench_floor"], False, False),
        "text floor": ([f"{build}/bench_floor", "text"], True, False),
        "game": ([f"{build}/pairfield"], True, True),
    }
    for scale in (1, 2):
        results = {name: {} for name in programs}
        for _ in range(rounds):
            for name, (command, play, game) in programs.items():
                for figure, value in run(command, scale, play, game).items():
                    results[name].setdefault(figure, []).append(value)
        median = {name: {f: statistics.median(v) for f, v in figures.items()} for name, figures in results.items()}
        print(f"scale {scale}, median of {rounds} rounds")
        for name, figures in median.items():
            print(f"  {name:11} " + ", ".join(
                f"{f} {v:.1f} {'MB' if f == 'memory' else 'ms'}" for f, v in figures.items()))
        game, text, bare = median["game"], median["text floor"], median["bare floor"]
        own = game["PLAY"] - text["PLAY"]
        print(f"  game / text floor: start-up {game['start-up'] / text['start-up']:.2f} x, "
              f"memory {game['memory'] / text['memory']:.2f} x")
        print(f"  PLAY / bare floor's start-up: {game['PLAY'] / bare['start-up']:.2f} x; "
              f"beyond the floor's button {own:.1f} ms, {own / bare['start-up']:.2f} x")


main()
