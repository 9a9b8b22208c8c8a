#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows release zip: exactly the program, its license and the read-me, the program the
# very one the build made, both texts with Windows line ends and the read-me filled in.
# Usage: windows_zip.sh ZIP Vantorel.exe LICENSE VERSION
source "$(dirname "$0")/lib.sh"
zip=$1
exe=$2
license=$3
version=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

check "the zip is there" [ -f "$zip" ]
members=$(unzip -Z1 "$zip" | tr '\n' ' ')
echo "members: $members"
check "it holds Vantorel.exe, LICENSE.txt and README.txt, nothing else, no folder" \
    [ "$members" = "Vantorel.exe LICENSE.txt README.txt " ]
unzip -q "$zip" -d "$scratch"
check "the program in it is the one built" cmp "$exe" "$scratch/Vantorel.exe"
check "LICENSE.txt is the license" cmp "$license" <(tr -d '\r' <"$scratch/LICENSE.txt")
for text in LICENSE.txt README.txt; do
    check "every line of $text ends in CR LF" \
        [ "$(grep -c $'\r$' "$scratch/$text")" = "$(wc -l <"$scratch/$text")" ]
done
readme=$(tr -d '\r' <"$scratch/README.txt")
check "the read-me starts with the program and its version" \
    [ "$(head -1 <<<"$readme")" = "Vantorel $version for Windows" ]
check "and has nothing of its source left: no comment, no @ placeholder" \
    bash -c '! grep -qE "^#|@[A-Z_]+@" <<<"$1"' _ "$readme"
for says in "nothing to install" "Windows 7" "default printer" "landscape" "LICENSE.txt"; do
    check "it says: $says" grep -q "$says" <<<"$readme"
done
finish
