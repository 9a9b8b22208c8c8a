# SPDX-License-Identifier: MIT
"""The set-up guard's reading of shell scripts: it must see every command the end-to-end scripts
run, wherever the shell hides it, and nothing that is not one. Then the guard itself, fed a
script that runs a program from no package, must fail."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import setup_guard  # noqa: E402

CASES = [
    # (shell text, functions defined elsewhere, commands expected)
    ("Xvfb -displayfd 3 3>\"$said\" >/dev/null 2>&1 &", set(), {"Xvfb"}),
    ("WIN=$(timeout 15 xdotool search --sync | head -1)", set(), {"xdotool", "head"}),
    ('check "the page is in colour (${n} ms)" more_than "$(pdftoppm -r 30 x | wc -l)" 10',
     {"more_than"}, {"pdftoppm", "wc"}),
    ('check "a .deb" [ -f "$deb" ] && dpkg-deb -x "$deb" "$root"', set(), {"dpkg-deb"}),
    ("trap 'wineserver -k 2>/dev/null; stop_cups' EXIT", {"stop_cups"}, {"wineserver"}),
    ("check \"none\" bash -c '! grep -q Aries <<<\"$0\"' \"$text\"", set(), {"bash", "grep"}),
    ('cat >"$f" <<CONF\nListen here\nLogLevel info\nCONF\ncupsd -f &', set(), {"cat", "cupsd"}),
    ('"$VANTOREL" "$exe" &\nVAR=1 lpadmin -d q', set(), {"lpadmin"}),
    ("for x in 1000 900 $(( ($1 + 700) / 2 )); do\n  xdotool mousemove \"$x\" 1\ndone",
     set(), {"xdotool"}),
    ('if [[ -n "$(file "$exe")" && $x -gt 2 ]]; then echo; fi  # icotool in a comment',
     set(), {"file"}),
    ("out=$(cd \"$build\" && cpack -G DEB 2>&1) || { echo \"$out\"; exit 1; }", set(), {"cpack"}),
    ('case "$f" in\n  LICENSE | *.png) continue ;;\n  *.sh) shellcheck "$f" ;;\nesac\nsort x',
     set(), {"shellcheck", "sort"}),
    ("pixel() { \"$XPROBE\" pixel \"$WIN\" \"$1\"; }\npixel 1 2", {"pixel"}, set()),
    ('check "the job" eventually lpstat -o\neventually is_pixel 1 2', {"eventually", "is_pixel"},
     {"lpstat"}),
]


def main():
    failures = 0
    for text, functions, expected in CASES:
        got = setup_guard.commands(text, functions)
        ok = got == expected
        failures += not ok
        print(f"{'ok  ' if ok else 'FAIL'} - {text.splitlines()[0][:60]!r}: {sorted(got)}"
              + ("" if ok else f", expected {sorted(expected)}"))

    # The whole guard, on this build, with one more script that runs a program no package has.
    build, source = sys.argv[1], sys.argv[2]
    with tempfile.NamedTemporaryFile("w", suffix=".sh") as script:
        script.write("vantorel-no-such-tool --help\n")
        script.flush()
        r = subprocess.run([sys.executable, os.path.join(source, "tests", "setup_guard.py"),
                            "--source", source, "--build", build, sys.argv[3],
                            script.name], capture_output=True, text=True)
    ok = r.returncode != 0 and "vantorel-no-such-tool" in r.stdout
    failures += not ok
    print(f"{'ok  ' if ok else 'FAIL'} - the guard fails on a script that runs a program it "
          f"cannot place")
    print(f"{len(CASES) + 1 - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
