#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package: built with CPack from this build, checked by lintian, unpacked into a
# scratch root, and the unpacked program started on a private X server.
# Usage: package_e2e.sh BUILD_DIR APP_ID
source "$(dirname "$0")/lib.sh"
build=$1
app_id=$2
root=$(mktemp -d)
trap 'cleanup; rm -rf "$root"' EXIT

out=$(cd "$build" && cpack -G DEB -B "$root/out" 2>&1) || { echo "$out"; exit 1; }
deb=$(ls "$root"/out/vantorel_*.deb 2>/dev/null | head -1)
check "cpack makes a .deb" [ -f "$deb" ]
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dep in libqt6widgets6 libqt6gui6 libqt6core6 fonts-liberation qt6-qpa-plugins; do
    check "the package depends on $dep" grep -q "$dep" <<<"$depends"
done
check "the print support is declared too" grep -q "libqt6printsupport6" <<<"$depends"
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Recommends: $recommends"
check "the package recommends Qt's Wayland platform, not more" [ "$recommends" = qt6-wayland ]
check "the package's version is 1.00" [ "$(dpkg-deb -f "$deb" Version)" = 1.00 ]

# Debian's own checks: not one error or warning. (As root, lintian would warn about that; it only
# reads the package.)
lint=$(lintian --allow-root --fail-on error,warning "$deb" 2>&1)
lint_status=$?
echo "lintian says:"
echo "${lint:-(nothing)}"
check "lintian finds no errors and no warnings" [ "$lint_status" = 0 ]
check "lintian's output has no error or warning tags" bash -c '! grep -q "^[EW]: " <<<"$1"' _ "$lint"
dpkg-deb -e "$deb" "$root/control"
check "no maintainer scripts: nothing to do at install or removal" \
    [ "$(ls "$root/control" | tr '\n' ' ')" = "control md5sums " ]

dpkg-deb -x "$deb" "$root/fs"
check "the program is installed" [ -x "$root/fs/usr/bin/vantorel" ]
check "the print module is installed" bash -c "ls $root/fs/usr/lib/*/vantorel/libvantorel-print.so $root/fs/usr/lib/vantorel/libvantorel-print.so 2>/dev/null | grep -q ."
check "the desktop entry is installed and valid" desktop-file-validate "$root/fs/usr/share/applications/$app_id.desktop"
copyright="$root/fs/usr/share/doc/vantorel/copyright"
check "the copyright file names the license" grep -qx "License: Expat" "$copyright"
check "and carries its terms" grep -q "^ Permission is hereby granted" "$copyright"
changelog="$root/fs/usr/share/doc/vantorel/changelog.gz"
zcat "$changelog" >"$root/changelog"
check "the changelog's last entry is the package's version" \
    [ "$(dpkg-parsechangelog -l "$root/changelog" -S Version)" = "$(dpkg-deb -f "$deb" Version)" ]
manpage="$root/fs/usr/share/man/man1/vantorel.1.gz"
check "the manual page is installed" [ -f "$manpage" ]
man_warnings=$(zcat "$manpage" | groff -man -Tutf8 -ww -z 2>&1)
echo "${man_warnings:+groff says: $man_warnings}"
check "the manual page renders without a warning" [ -z "$man_warnings" ]
page=$(zcat "$manpage" | groff -man -Tutf8 -P-cbou 2>/dev/null)
for section in NAME SYNOPSIS DESCRIPTION OPTIONS BUTTONS KEYS PRINTING; do
    check "the manual page has $section" grep -qx "$section" <<<"$page"
done
check "it says the program takes no options" grep -q "takes no options" <<<"$page"
module=$(cd "$root/fs/usr/bin" && ls ../lib/*/vantorel/libvantorel-print.so ../lib/vantorel/libvantorel-print.so 2>/dev/null | head -1)
# The path is in the program as UTF-16: without its zero bytes it reads as plain text.
check "the program looks for the print module where the package puts it" \
    bash -c '[ -n "$1" ] && tr -d "\\0" <"$2" | grep -qaF "/$1"' _ "$module" "$root/fs/usr/bin/vantorel"
check "the metadata is installed" [ -f "$root/fs/usr/share/metainfo/$app_id.metainfo.xml" ]
for size in 16 32 48 256; do
    check "the ${size}px icon is installed" [ -f "$root/fs/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" ]
done

start_xvfb || exit 1
VANTOREL="$root/fs/usr/bin/vantorel"
start_app
check "the installed program opens its window" [ -n "$WIN" ]
check "its title is The Vantorel" [ "$(xdotool getwindowname "$WIN")" = "The Vantorel" ]
check "it draws the board" eventually is_pixel 175 400 "0 0 0"
click 952 620 # EXIT
wait_app_exit
check "and EXIT ends it with status 0" [ "$EXIT_STATUS" = 0 ]
finish
