#!/usr/bin/env bash
# Plays the accessibility test's short game natively on Wayland: a headless weston at output scale <scale>, no
# X server anywhere, and the face turned first found on the screen, pixel for pixel, as its picture for that
# density.   wayland.sh <scale> <python> <tst_atspi.py> <pairfield>
set -euo pipefail
scale=$1 python=$2 script=$3 program=$4
runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'kill "$weston" 2>/dev/null || true; wait "$weston" 2>/dev/null || true; rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
unset DISPLAY QT_QPA_PLATFORM
# --debug lets weston-screenshooter take the screen; pixman keeps the headless output free of a GPU.
weston --backend=headless-backend.so --use-pixman --socket=wl-pairfield --width=1024 --height=768 \
    --scale="$scale" --idle-time=0 --debug >"$runtime/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do
    [ -S "$runtime/wl-pairfield" ] && break
    kill -0 "$weston" 2>/dev/null || { cat "$runtime/weston.log"; exit 1; }
    sleep 0.1
done
export WAYLAND_DISPLAY=wl-pairfield PF_SCREENSHOT_SCALE=$scale
# The game draws its widgets into shared-memory buffers and never into a GL surface, but Qt's Wayland
# client still opens EGL at start. Mesa's software driver then keeps 128 bytes to the end and is unloaded
# before LeakSanitizer reports, so the leak cannot even be named, let alone suppressed alone. An empty list
# of EGL vendors (libglvnd reads it from here) keeps Mesa out of the game and leaves every allocation of
# ours to the leak check.
mkdir "$runtime/egl-vendors"
export __EGL_VENDOR_LIBRARY_DIRS=$runtime/egl-vendors
dbus-run-session -- "$python" "$script" "$program"
