#!/usr/bin/python3
"""Prints what a screen reader hears from Pelham while it runs: windows that open, names
that change (the clone progress's step, the status bar) and values that change (the clone
progress), one line each, for the number of seconds given."""

import sys

import pyatspi
from gi.repository import GLib

import os
DEBUG = os.environ.get('LISTEN_DEBUG')
last_value = {}


def describe(source):
    return f"{source.getRoleName()} '{source.name}'"


def on_event(event):
    try:
        source = event.source
        app = source.getApplication()
        if DEBUG: print("debug:", event.type, app.name if app else None, flush=True)
        if app is None or "pelham" not in (app.name or "").lower():
            return
        kind = event.type
        if DEBUG: print("debug:", kind, app.name if app else None, describe(source), flush=True)
        if kind.startswith(("object:value-changed", "object:property-change:accessible-value")):
            value = source.queryValue().currentValue
            if last_value.get(source.name) == value:
                return
            last_value[source.name] = value
            print(f"value: {describe(source)} {value:.0f}%", flush=True)
        elif kind.startswith("object:property-change:accessible-name"):
            print(f"name: {describe(source)}", flush=True)
        elif kind.startswith("object:state-changed:showing") and event.detail1:
            if source.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_PROGRESS_BAR,
                                    pyatspi.ROLE_ALERT):
                print(f"shown: {describe(source)}", flush=True)
        elif kind.startswith("window:create") or kind.startswith("window:activate"):
            print(f"{kind.split(':')[1]}: {describe(source)}", flush=True)
    except Exception:  # an object gone before it could be asked
        pass


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 10
    pyatspi.Registry.registerEventListener(
        on_event, "object:value-changed", "object:property-change:accessible-value",
        "object:property-change:accessible-name",
        "object:state-changed:showing", "window:create", "window:activate")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()
    return 0


if __name__ == "__main__":
    sys.exit(main())
