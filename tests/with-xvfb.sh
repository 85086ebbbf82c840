#!/usr/bin/env bash
# Runs a command against an X server of its own: starts Xvfb on a free display,
# hands it to the command as DISPLAY, and stops that server (by its PID) when the command ends.
set -u
displayFile=$(mktemp)
# -noreset: the server would otherwise reset whenever its last client leaves, turning away
# anyone who connects during the reset. +iglx: a test can ask for an indirect context
# (LIBGL_ALWAYS_INDIRECT=1), an OpenGL too old for the game; direct rendering is unchanged.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset +iglx 3>"$displayFile" 2>/dev/null &
xvfbPid=$!
cleanup() {
    kill "$xvfbPid" 2>/dev/null
    wait "$xvfbPid" 2>/dev/null
    rm -f "$displayFile"
}
trap cleanup EXIT

for _ in $(seq 200); do
    [ -s "$displayFile" ] && break
    kill -0 "$xvfbPid" 2>/dev/null || break
    sleep 0.05
done
display=$(head -n 1 "$displayFile")
if [ -z "$display" ]; then
    echo "with-xvfb: Xvfb did not start" >&2
    exit 1
fi

DISPLAY=":$display" "$@"
