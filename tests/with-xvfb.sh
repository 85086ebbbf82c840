#!/usr/bin/env bash
# Runs a command against an X server of its own: starts Xvfb on a free display,
# hands it to the command as DISPLAY, and stops that server (by its PID) when the command ends.
# Usage: with-xvfb.sh [--screen WIDTHxHEIGHT] [--monitors N] [--window-manager] COMMAND...
#   --screen          the screen's size (1024x768 by default)
#   --monitors N      N RandR monitors side by side, of equal width, in place of one for the screen
#   --window-manager  openbox manages the windows, as on a desktop; stopped (by its PID) before the server
# ZORVEX_XVFB_OPTIONS may hold options too, before those given: CTest runs a test program's every
# test through the same command, and a test picks its X server there.
set -u
# shellcheck disable=SC2086 # the options are words
set -- ${ZORVEX_XVFB_OPTIONS:-} "$@"
screen=1024x768
monitors=1
windowManager=
while [ $# -gt 0 ]; do
    case $1 in
    --screen) screen=$2; shift 2 ;;
    --monitors) monitors=$2; shift 2 ;;
    --window-manager) windowManager=openbox; shift ;;
    *) break ;;
    esac
done

displayFile=$(mktemp)
managerHome=
managerPid=
# -noreset: the server would otherwise reset whenever its last client leaves, turning away
# anyone who connects during the reset, and forgetting the monitors set here. +iglx: a test can
# ask for an indirect context (LIBGL_ALWAYS_INDIRECT=1), an OpenGL too old for the game; direct
# rendering is unchanged.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset +iglx 3>"$displayFile" 2>/dev/null &
xvfbPid=$!
cleanup() {
    if [ -n "$managerPid" ]; then
        kill "$managerPid" 2>/dev/null
        wait "$managerPid" 2>/dev/null
    fi
    [ -n "$managerHome" ] && rm -rf "$managerHome"
    kill "$xvfbPid" 2>/dev/null
    wait "$xvfbPid" 2>/dev/null
    rm -f "$displayFile"
}
trap cleanup EXIT

fail() {
    echo "with-xvfb: $*" >&2
    exit 1
}

for _ in $(seq 200); do
    [ -s "$displayFile" ] && break
    kill -0 "$xvfbPid" 2>/dev/null || break
    sleep 0.05
done
display=$(head -n 1 "$displayFile")
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=":$display"

# Xvfb's one output, "screen", is given to the first monitor, which takes the place of the
# screen-wide one RandR makes for it; the others have no output. 96 dpi, in millimetres.
if [ "$monitors" -gt 1 ]; then
    width=${screen%x*}
    height=${screen#*x}
    monitorWidth=$((width / monitors))
    for ((i = 0; i < monitors; i++)); do
        output=none
        [ "$i" -eq 0 ] && output=screen
        xrandr --setmonitor "monitor-$i" \
            "$monitorWidth/$((monitorWidth * 254 / 960))x$height/$((height * 254 / 960))+$((i * monitorWidth))+0" \
            "$output" >/dev/null || fail "xrandr could not set monitor $i"
    done
    [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: $monitors" ] || fail "the server does not list $monitors monitors"
fi

# With its configuration and its cache in a folder of its own, so that the user's are neither
# read nor written. It is ready once it has put its _NET_SUPPORTING_WM_CHECK window on the root.
if [ -n "$windowManager" ]; then
    managerHome=$(mktemp -d)
    XDG_CONFIG_HOME="$managerHome/config" XDG_CACHE_HOME="$managerHome/cache" \
        openbox --sm-disable >"$managerHome/output.txt" 2>&1 &
    managerPid=$!
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        kill -0 "$managerPid" 2>/dev/null || break
        sleep 0.05
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
        fail "openbox did not start: $(cat "$managerHome/output.txt")"
fi

"$@"
