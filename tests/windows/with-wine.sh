#!/usr/bin/env bash
# Wine for the tests, in a prefix of their own and under an Xvfb of their own.
#   with-wine.sh PREFIX --make      makes the prefix afresh (once per test run)
#   with-wine.sh PREFIX --remove    ends the prefix's processes and deletes it and its PREFIX.tmp
#   with-wine.sh PREFIX COMMAND...  runs COMMAND with that prefix, then ends the prefix's processes
# Only the wineserver of this prefix, and so only the Windows processes started in it, is
# stopped; the Xvfb is stopped by with-xvfb.sh, by its PID.
set -u
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=-all
# winemenubuilder would write menu entries and file associations into the user's home; the
# .NET and HTML engines would be offered for download.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Wine's server makes a folder for its socket under TMPDIR and never removes it: one beside the
# prefix goes with the prefix.
export TMPDIR="$prefix.tmp"
mkdir -p "$TMPDIR"

endPrefixProcesses() {
    [ -d "$prefix" ] && wineserver -k 2>/dev/null
    return 0
}

if [ -z "${ZORVEX_WINE_INSIDE_XVFB:-}" ]; then
    ZORVEX_WINE_INSIDE_XVFB=1 exec "$(dirname "$0")/../with-xvfb.sh" "$0" "$prefix" "$@"
fi

case "${1:-}" in
--make)
    rm -rf "$prefix"
    wineboot -i >/dev/null 2>&1
    status=$?
    endPrefixProcesses
    [ $status -eq 0 ] && [ -f "$prefix/system.reg" ] || { echo "with-wine: wineboot failed ($status)" >&2; exit 1; }
    ;;
--remove)
    endPrefixProcesses
    rm -rf "$prefix" "$TMPDIR"
    ;;
*)
    "$@"
    status=$?
    endPrefixProcesses
    exit $status
    ;;
esac
