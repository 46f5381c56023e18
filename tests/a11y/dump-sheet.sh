#!/bin/bash
# Shows what a screen reader reads of a group sheet: starts Pelham on a virtual display
# with its own accessibility bus, opens the first group with the keyboard, and prints the
# sheet's table as AT-SPI gives it (dump_sheet.py). Not part of `make test`: it needs
# python3-pyatspi, at-spi2-core, xvfb and xdotool, which `apt-get install` brings.
#
#   bash tests/a11y/dump-sheet.sh [BUILD-DIR] [ROWS]
set -euo pipefail
build=$(realpath "${1:-build}")
rows=${2:-3}
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/{home,config,data,runtime}
chmod 700 "$work/runtime"
"$build/pelham-cli" new "$work/list.tcf" >/dev/null

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_RUNTIME_DIR=$work/runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
dbus-run-session -- bash -c '
    set -e
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    display=:$((90 + RANDOM % 9))
    Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display
    sleep 1
    "$0/pelham" --language en "$1/list.tcf" >/dev/null 2>&1 &
    pelham=$!
    sleep 3
    xdotool key Escape                  # the first start asks for the port
    sleep 1
    # The tree has the focus: Memory CH, its first category, its first group.
    for key in Down Right Down Right Down; do xdotool key $key; sleep 0.3; done
    sleep 1
    xdotool key Tab                      # into the sheet
    sleep 1
    /usr/bin/python3 "$2/dump_sheet.py" "$3" || true
    kill $pelham $xvfb 2>/dev/null || true
' "$build" "$work" "$here" "$rows"
