#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under a prefix of its own and runs what was
# installed: pelham-cli finds the installed presets, new and export work, pelham opens a
# file given on its command line and ends, and the desktop files pass their validators.
# Usage: install-test.sh BUILD_FOLDER SOURCE_FOLDER
set -uo pipefail

build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    "$@" >"$work/out" 2>&1 || fail "$what: $(head -c 2000 "$work/out")"
}

# A prefix nobody else uses, so only the program's own lookup can find its data.
prefix=/opt/pelham-install-test
DESTDIR="$work/root" cmake --install "$build" --prefix "$prefix" >/dev/null || {
    echo "FAIL: cmake --install" >&2
    exit 1
}
root=$work/root$prefix
app=org.tarn.Pelham

for file in bin/pelham bin/pelham-cli bin/harlon-sim \
    share/pelham/presets/English/USA.sch share/pelham/presets/Japanese/Japan.sch \
    share/applications/$app.desktop share/mime/packages/$app.xml \
    share/metainfo/$app.metainfo.xml share/icons/hicolor/scalable/apps/$app.svg \
    share/icons/hicolor/48x48/apps/$app.png share/bash-completion/completions/pelham-cli \
    share/man/man1/pelham.1.gz share/man/man1/pelham-cli.1.gz share/man/man1/harlon-sim.1.gz \
    share/man/ja/man1/pelham.1.gz; do
    [ -e "$root/$file" ] || fail "not installed: $file"
done
for language in en ja; do
    [ ! -d "$source/help/$language" ] || [ -d "$root/share/pelham/help/$language" ] ||
        fail "not installed: the help pages in $language"
done

# The programs run with settings of their own, never the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
    XDG_RUNTIME_DIR=$work/runtime LC_ALL=C
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cd "$work" || exit 1

cli=$root/bin/pelham-cli
check "pelham-cli new" "$cli" new --destination 1 a.tcf
[ "$(head -n 1 a.tcf)" = $'30760001\r' ] || fail "a new file starts with the header line"
check "pelham-cli export" "$cli" export a.tcf --destination 1 --sheet group:0 group.csv
grep -q "145.000000" group.csv || fail "the exported group holds the default channel"
# A preset that exists only in this install is found by name.
mv "$root/share/pelham/presets/English/USA.sch" "$root/share/pelham/presets/English/OnlyHere.sch"
check "pelham-cli preset by name" "$cli" preset a.tcf onlyhere --destination 1 --all \
    --overwrite --yes -o b.tcf
check "pelham-cli check of the preset's result" "$cli" check --destination 1 b.tcf

# Every command the program knows is in its man page and in the completion.
commands=$("$cli" --help | sed -n 's/^  pelham-cli \([a-z]*\) .*/\1/p')
[ -n "$commands" ] || fail "pelham-cli --help lists the commands"
for command in $commands; do
    zgrep -q "^\.BI* \"${command}[ \"]" "$root/share/man/man1/pelham-cli.1.gz" ||
        fail "pelham-cli.1 describes $command"
    grep -q "commands=.*\b$command\b" "$root/share/bash-completion/completions/pelham-cli" ||
        fail "the completion offers $command"
done
# The completion, as bash runs it: commands, then sheet names after --sheet.
if [ -f /usr/share/bash-completion/bash_completion ]; then
    complete_words() {
        bash -c 'source /usr/share/bash-completion/bash_completion; source "$0"
            COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
            _pelham_cli pelham-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
            echo "${COMPREPLY[*]}"' "$root/share/bash-completion/completions/pelham-cli" "$@"
    }
    [ "$(complete_words pelham-cli ex)" = export ] || fail "completion of 'ex'"
    [ "$(complete_words pelham-cli export a.tcf --sheet bank)" = "banks bank-ch: bank-pg:" ] ||
        fail "completion of sheet names: $(complete_words pelham-cli export a.tcf --sheet bank)"
fi
if command -v man >/dev/null; then
    for page in man1/pelham man1/pelham-cli man1/harlon-sim ja/man1/pelham; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/$page.1.gz" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "$page.1: $warnings"
    done
fi

# The launcher and the metadata pass their validators where these are installed.
if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate" desktop-file-validate "$root/share/applications/$app.desktop"
fi
if command -v appstreamcli >/dev/null; then
    check "appstreamcli validate" appstreamcli validate --no-net \
        "$root/share/metainfo/$app.metainfo.xml"
fi
# The file type is known by the header line alone, and by the name alone.
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
    cp -r "$root/share/mime" "$work/mime-db" && update-mime-database "$work/mime-db" >/dev/null 2>&1
    mkdir -p "$work/share" && mv "$work/mime-db" "$work/share/mime"
    cp a.tcf header-only.txt
    printf 'not a clone file\n' >name-only.tcf
    for file in a.tcf header-only.txt name-only.tcf; do
        type=$(XDG_DATA_DIRS="$work/share" XDG_DATA_HOME="$work/share" \
            gio info -a standard::content-type "$file" 2>&1 | sed -n 's/.*content-type: //p')
        [ "$type" = application/x-pelham-clone ] || fail "$file is of type '$type'"
    done
fi

# pelham itself: an unknown option is a usage error; offscreen with a file it starts and
# stays up until it is stopped.
pelham=$root/bin/pelham
QT_QPA_PLATFORM=offscreen "$pelham" --no-such-option >/dev/null 2>&1
[ $? -eq 64 ] || fail "pelham --no-such-option is a usage error"
QT_QPA_PLATFORM=offscreen timeout 3 "$pelham" a.tcf >/dev/null 2>&1
[ $? -eq 124 ] || fail "pelham a.tcf runs offscreen until it is stopped"
rm -rf "${XDG_CONFIG_HOME:?}" "${XDG_RUNTIME_DIR:?}"/*

# On a display: the Initial Setup is cancelled, the main window shows the file, Alt+F4
# ends the program normally, and the file is first in the recent files it wrote.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    cat >"$work/gui.sh" <<'GUI'
wait_window() { # the id of a visible window whose name matches $1, within 15 s
    local id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
"$1" "$2" >/dev/null 2>&1 &
pid=$!
setup=$(wait_window "Initial Setup") || { kill $pid; echo "no Initial Setup"; exit 2; }
xdotool windowfocus --sync "$setup" key Escape
main=$(wait_window "^a.tcf - ") || { kill $pid; echo "no main window with a.tcf"; exit 2; }
xdotool windowfocus --sync "$main" key alt+F4
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && { kill $pid; echo "pelham did not end"; exit 2; }
wait $pid
GUI
    check "pelham a.tcf on a display" timeout 60 env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" \
        bash "$work/gui.sh" "$pelham" "$work/a.tcf"
    grep -qx "Recent0=$work/a.tcf" "$XDG_CONFIG_HOME/Tarn/Pelham.conf" 2>/dev/null ||
        fail "pelham kept a.tcf as its recent file"
else
    echo "no xvfb-run or xdotool: pelham not started on a display"
fi

[ $failures -eq 0 ] && echo "install test passed: $root"
exit $((failures > 0))
