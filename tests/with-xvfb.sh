#!/usr/bin/env bash
# Runs a command against an X server of its own: starts Xvfb on a free display,
# hands it to the command as DISPLAY, and stops that server (by its PID) when the command ends.
# Usage: with-xvfb.sh [--screen WIDTHxHEIGHT] [--monitors N] [--window-manager] COMMAND...
#   --screen          the screen's size (1024x768 by default)
#   --monitors N      N RandR monitors side by side, of equal width, in place of one for the screen
#   --window-manager  openbox manages the windows, as on a desktop; stopped (by its PID) first
# ZORVEX_XVFB_OPTIONS may hold options too, before those given: CTest runs a test program's every
# test through the same command, and a test picks its X server there.
set -u
# shellcheck disable=SC2086 # the options are words
set -- ${ZORVEX_XVFB_OPTIONS:-} "$@"
screen=1024x768
monitors=1
windowManager=false
while [ $# -gt 0 ]; do
    case $1 in
    --screen) screen=$2; shift 2 ;;
    --monitors) monitors=$2; shift 2 ;;
    --window-manager) windowManager=true; shift ;;
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

# Checks COMMAND every 50 ms, for up to 10 seconds, until it succeeds or process PID has ended.
waitUntil() {
    local pid=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    "$@"
}

waitUntil "$xvfbPid" test -s "$displayFile" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$displayFile")"

# Xvfb's one output, "screen", goes to the first monitor, which takes the place of the one RandR
# made for the whole screen; the others have no output. Their sizes in millimetres: 96 dpi.
if [ "$monitors" -gt 1 ]; then
    width=$((${screen%x*} / monitors))
    height=${screen#*x}
    for ((i = 0; i < monitors; i++)); do
        output=none
        [ "$i" -eq 0 ] && output=screen
        geometry="$width/$((width * 254 / 960))x$height/$((height * 254 / 960))+$((i * width))+0"
        xrandr --setmonitor "monitor-$i" "$geometry" "$output" >/dev/null || fail "xrandr cannot set monitor $i"
    done
    [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: $monitors" ] || fail "the server lists no $monitors monitors"
fi

# Its configuration and cache in a folder of its own, so that the user's are neither read nor
# written. It is ready once it has put its _NET_SUPPORTING_WM_CHECK window on the root.
managerReady() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
if $windowManager; then
    managerHome=$(mktemp -d)
    XDG_CONFIG_HOME="$managerHome/config" XDG_CACHE_HOME="$managerHome/cache" \
        openbox --sm-disable >"$managerHome/output.txt" 2>&1 &
    managerPid=$!
    waitUntil "$managerPid" managerReady || fail "openbox did not start: $(cat "$managerHome/output.txt")"
fi

"$@"
