#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source file of the checkout names its license in its first two lines (after a shebang,
# an XML declaration or a PPD header), so a new file cannot come in without it. Only files that
# cannot carry a comment, or are not source, are let off, by kind.
# Usage: license_headers.sh SOURCE_DIR
cd "$1" || exit 1
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=$(git ls-files)
else
    files=$(find . -path ./build -prune -o -path ./.git -prune -o -type f -print | sed 's|^\./||')
fi
missing=0
checked=0
while IFS= read -r f; do
    case "$f" in
        LICENSE | README.md | *.png | .gitignore | .clang-format) continue ;;
        # JSON has no comments: a package manifest says it in its "license" field instead.
        *.json)
            checked=$((checked + 1))
            grep -q '"license": "MIT"' "$f" || [[ "$f" == *-lock.json ]] || {
                echo "FAIL - $f has no \"license\": \"MIT\" field"
                missing=$((missing + 1))
            }
            continue
            ;;
    esac
    checked=$((checked + 1))
    if ! head -2 "$f" | grep -q "SPDX-License-Identifier: MIT"; then
        echo "FAIL - $f has no SPDX-License-Identifier: MIT line at its head"
        missing=$((missing + 1))
    fi
done <<<"$files"
echo "$checked files checked, $missing without the license line"
[[ $checked -gt 0 && $missing -eq 0 ]]
