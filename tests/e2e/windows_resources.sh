#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program's resources, read back from the built executable: the icon's three images,
# the version record and the application manifest.
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
# A malformed manifest keeps Windows from starting the program at all. Read with Debian's own
# python3, the one the set-up installs, not whichever comes first on the PATH.
wrestool -x --raw -t 24 -n 1 "$exe" >"$scratch/manifest.xml"
check "an application manifest, RT_MANIFEST 1" [ -s "$scratch/manifest.xml" ]
manifest=$(/usr/bin/python3 - "$scratch/manifest.xml" <<'PY'
import sys
import xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
# Each element by its local name, namespaces aside: "name=text" and "name@attribute=value".
for e in root.iter():
    name = e.tag.split("}")[-1]
    if e.text and e.text.strip():
        print(f"{name}={e.text.strip()}")
    for key, value in e.attrib.items():
        print(f"{name}@{key}={value}")
PY
)
echo "$manifest"
check "the manifest is well-formed XML" [ -n "$manifest" ]
check "per-monitor DPI aware for Windows 8.1 and earlier" grep -qx "dpiAware=true/pm" <<<"$manifest"
check "per-monitor (v2 first) for Windows 10 and 11" grep -qx "dpiAwareness=PerMonitorV2, PerMonitor" <<<"$manifest"
for os in "7 35138b9a-5d96-4fbd-8e2d-a2440225f93a" "8 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38" \
    "8.1 1f676c76-80e1-4239-95bb-83d0f6d0da78" "10 and 11 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"; do
    check "supports Windows ${os% *}" grep -qx "supportedOS@Id={${os##* }}" <<<"$manifest"
done
check "runs as the user who starts it" grep -qx "requestedExecutionLevel@level=asInvoker" <<<"$manifest"
finish
