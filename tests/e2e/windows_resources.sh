#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program's resources, read back from the built executable: the icon's three images
# and the version record.
# Usage: windows_resources.sh Vantorel.exe
source "$(dirname "$0")/lib.sh"
exe=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

check "it is a 32-bit Windows GUI program" grep -q "PE32 executable (GUI) Intel 80386" <<<"$(file "$exe")"
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ {print tolower($3)}' | sort | tr '\n' ' ')
echo "imports: $imports"
check "it needs no DLL beyond the system's" [ "$imports" = "gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleacc.dll oleaut32.dll user32.dll winspool.drv " ]

wrestool -x -t 14 "$exe" >"$scratch/icon.ico"
icons=$(icotool -l "$scratch/icon.ico")
echo "$icons"
check "the icon holds three images" [ "$(wc -l <<<"$icons")" = 3 ]
check "32 x 32 in 2 colours" grep -q -- "--width=32 --height=32 --bit-depth=1" <<<"$icons"
check "32 x 32 in 16 colours" grep -q -- "--width=32 --height=32 --bit-depth=4" <<<"$icons"
check "16 x 16 in 16 colours" grep -q -- "--width=16 --height=16 --bit-depth=4" <<<"$icons"

wrestool -x --raw -t 16 "$exe" >"$scratch/version.bin"
hex=$(od -An -tx1 -v "$scratch/version.bin" | tr -d ' \n')
# VS_FIXEDFILEINFO: signature, structure version, file version MS/LS, product version MS/LS.
fixed=${hex#*bd04effe}
check "fixed file version 1.0.0.0" [ "${fixed:8:16}" = "0000010000000000" ]
check "fixed product version 1.0.0.0" [ "${fixed:24:16}" = "0000010000000000" ]
text=$(iconv -f UTF-16LE -t UTF-8 <"$scratch/version.bin" 2>/dev/null | LC_ALL=C tr -c '[:print:]' '|' | tr -s '|')
echo "strings: $text"
check "string block 040904B0" grep -q "|040904B0|" <<<"$text"
for pair in "FileVersion|1.00" "ProductVersion|1.00" "ProductName|Project1" "InternalName|Vantorel" \
    "OriginalFilename|Vantorel.exe"; do
    check "$pair" grep -qF "|$pair|" <<<"$text"
done
finish
