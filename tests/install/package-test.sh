#!/usr/bin/env bash
# Builds the Debian package from the build folder into a temporary folder and checks what
# it holds, what it depends on, and that lintian finds no error in it and no warning
# beyond those kept below.
# Usage: package-test.sh BUILD_FOLDER SOURCE_FOLDER
set -uo pipefail

build=$1
source=$2
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v $tool >/dev/null || { echo "no $tool: the package is not built"; exit 0; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    exit 1
}
deb=$(find "$work" -maxdepth 1 -name "pelham_*.deb" | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package was made" >&2; exit 1; }

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
app=org.tarn.Pelham
expected=(/usr/bin/pelham /usr/bin/pelham-cli /usr/bin/harlon-sim
    /usr/share/pelham/presets/English/USA.sch /usr/share/pelham/presets/Japanese/Japan.sch
    /usr/share/applications/"$app".desktop /usr/share/mime/packages/"$app".xml
    /usr/share/metainfo/"$app".metainfo.xml /usr/share/icons/hicolor/scalable/apps/"$app".svg
    /usr/share/icons/hicolor/256x256/apps/"$app".png /usr/share/icons/hicolor/16x16/apps/"$app".png
    /usr/share/man/man1/pelham.1.gz /usr/share/man/man1/pelham-cli.1.gz
    /usr/share/man/man1/harlon-sim.1.gz /usr/share/man/ja/man1/pelham.1.gz
    /usr/share/bash-completion/completions/pelham-cli
    /usr/share/doc/pelham/copyright /usr/share/doc/pelham/changelog.gz)
for language in en ja; do
    [ -d "$source/help/$language" ] && expected+=("/usr/share/pelham/help/$language/")
done
for file in "${expected[@]}"; do
    grep -qxF "$file" "$work/contents" || fail "the package lacks $file"
done
grep -q "^/usr/local\|^/home\|^/tmp\|^/work" "$work/contents" && fail "the package holds paths of this machine"

# The libraries the programs link, found by dpkg-shlibdeps, and the SVG icon engine, a plug-in.
depends=$(dpkg-deb -f "$deb" Depends)
names=$(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/ //g')
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6svg6 libstdc++6; do
    grep -qxF "$package" <<<"$names" || fail "Depends names no $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = pelham ] || fail "the package is not called pelham"
grep -q "GPL-3+" "$source/dist/debian/copyright" || fail "the copyright file names no GPL-3+"

# lintian: no error at all; a warning only when it is kept here, with its reason, one
# "tag: reason" line each. None is kept today.
kept_warnings=(
)
if ! command -v lintian >/dev/null; then
    fail "no lintian (scripts/install-deps installs it)"
else
    # Run as root it says so first; that line is no finding.
    lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v "running with root privileges" \
        >"$work/lintian.txt"
    while read -r kind _ tag rest; do
        case $kind in
        E:) fail "lintian: $tag $rest" ;;
        W:)
            known=no
            for kept in "${kept_warnings[@]}"; do
                [ "${kept%%:*}" = "$tag" ] && known=yes
            done
            [ $known = yes ] || fail "lintian warns: $tag $rest"
            ;;
        esac
    done <"$work/lintian.txt"
fi

[ $failures -eq 0 ] && echo "package test passed: $(basename "$deb")"
exit $((failures > 0))
