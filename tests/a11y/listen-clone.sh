#!/bin/bash
# Shows what a screen reader hears during a Clone Read: starts harlon-sim on a
# pseudo-terminal and Pelham on a virtual display with its own accessibility bus, reads the
# receiver with the keyboard (Clone > Read) and prints the events AT-SPI gives while it runs
# (listen_clone.py). Not part of `make test`: it needs python3-pyatspi, at-spi2-core, xvfb
# and xdotool, which `apt-get install` brings.
#
#   bash tests/a11y/listen-clone.sh [BUILD-DIR] [en|ja]
set -euo pipefail
build=$(realpath "${1:-build}")
language=${2:-en}
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/{home,config,data,runtime}
chmod 700 "$work/runtime"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_RUNTIME_DIR=$work/runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
dbus-run-session -- bash -c '
    set -e
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    sleep 0.5
    /usr/libexec/at-spi2-registryd >/dev/null 2>&1 &
    display=:$((90 + RANDOM % 9))
    Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display
    "$0/harlon-sim" >"$1/sim.log" 2>&1 &
    sim=$!
    sleep 1
    port=$(awk "/^PORT/ {print \$2}" "$1/sim.log")
    "$0/pelham" --language "$3" --port "$port" >/dev/null 2>&1 &
    pelham=$!
    sleep 3
    xdotool key Return                   # the first start: OK on the port given
    sleep 1
    /usr/bin/python3 "$2/listen_clone.py" 12 &
    listener=$!
    sleep 2
    xdotool key alt+c                    # Clone > Read
    sleep 0.5
    xdotool key r
    wait $listener || true
    kill $pelham $sim $xvfb 2>/dev/null || true
' "$build" "$work" "$here" "$language"
