#!/usr/bin/env bash
# Starts the game in a Wayland session of GNOME that offers X11 too: a headless weston and Xvfb, both
# reachable. Where Qt has no window decoration in GNOME's style, the setup window opens on the X server, for
# GNOME to draw its title bar; with QT_QPA_PLATFORM=wayland it opens on Wayland and not on the X server.
#   gnome.sh <pairfield> <qt plugin directory>
set -euo pipefail
program=$1 plugins=$2
runtime=$(mktemp -d)
chmod 700 "$runtime"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
unset QT_QPA_PLATFORM QT_WAYLAND_DECORATION
weston --backend=headless-backend.so --use-pixman --socket=wl-pairfield --width=1024 --height=768 \
    --idle-time=0 >"$runtime/weston.log" 2>&1 &
pids+=($!)
# Xvfb writes the display number it took once it accepts connections.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$runtime/display" 2>"$runtime/xvfb.log" &
pids+=($!)
for _ in $(seq 300); do
    [ -S "$runtime/wl-pairfield" ] && grep -qx '[0-9][0-9]*' "$runtime/display" && break
    sleep 0.1
done
[ -S "$runtime/wl-pairfield" ] || { cat "$runtime/weston.log"; exit 1; }
grep -qx '[0-9][0-9]*' "$runtime/display" || { cat "$runtime/xvfb.log"; exit 1; }
export DISPLAY=:$(cat "$runtime/display") WAYLAND_DISPLAY=wl-pairfield XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
# As in the Wayland test: no EGL vendor, so that Mesa keeps nothing to the end (see wayland.sh).
mkdir "$runtime/egl-vendors"
export __EGL_VENDOR_LIBRARY_DIRS=$runtime/egl-vendors

# Starts the game with the environment given, and says where its setup window opened: "X11" once the X
# server shows it, "Wayland" once the game has given it its title through the Wayland connection, which it
# has only where Qt runs on Wayland.
opened() {
    env "$@" WAYLAND_DEBUG=client "$program" >/dev/null 2>"$runtime/game.log" &
    local game=$! where=
    # A loaded machine may take its time; the test's own limit is the bound.
    for _ in $(seq 1000); do
        if xdotool search --onlyvisible --name '^Pairfield: Getting Started$' >/dev/null 2>&1; then
            where=X11
        elif grep -q 'set_title("Pairfield: Getting Started")' "$runtime/game.log"; then
            where=Wayland
        fi
        [ -z "$where" ] || break
        kill -0 "$game" 2>/dev/null || { grep -v '^\[' "$runtime/game.log" >&2; break; }
        sleep 0.1
    done
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
    echo "${where:-nowhere}"
}

expected=X11
ls "$plugins"/wayland-decoration-client/*adwaita* >/dev/null 2>&1 && expected=Wayland
where=$(opened XDG_CURRENT_DESKTOP=GNOME)
echo "XDG_CURRENT_DESKTOP=GNOME: the setup window opened on $where"
[ "$where" = "$expected" ] || { echo "expected $expected"; grep -v '^\[' "$runtime/game.log" | tail -n 20; exit 1; }
where=$(opened QT_QPA_PLATFORM=wayland)
echo "QT_QPA_PLATFORM=wayland: the setup window opened on $where"
[ "$where" = Wayland ] || exit 1
