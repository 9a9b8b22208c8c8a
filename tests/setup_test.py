# SPDX-License-Identifier: MIT
"""scripts/setup against a stand-in apt-get, dpkg and dpkg-query on a mirror in several states:
what it installs, whether it retries the update, what it does with the i386 architecture, what
it says and how it ends.

Usage: setup_test.py SOURCE
"""
import os
import shutil
import subprocess
import sys
import tempfile

FETCH_ERROR = ("E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/"
               "main/binary-{arch}/Packages.xz  File has unexpected size (374820 != 376004). "
               "Mirror sync in progress? [IP: 192.0.2.1 80]\n"
               "E: Some index files failed to download. They have been ignored, or old ones used "
               "instead.")

# The stand-ins keep the machine's state in files of the scratch folder ($STATE): installed (one
# package a line), foreign (architectures), updates (how many updates ran), log (what was done).
# A scenario says how many updates fail (fail_updates, the fetch error naming fail_arch) and from
# which update on each package can be installed (ready: package -> updates needed; "never").
DPKG_QUERY = r'''
if [[ $1 == -W && $2 == "-f=\${Status}" ]]; then
    grep -qx "$3" "$STATE/installed" && echo "install ok installed"
    exit 0
fi
if [[ $1 == -W && $2 == "-f=\${Architecture}\n" ]]; then
    sed -E 's/^[^:]*$/amd64/; s/^.*:(.*)$/\1/' "$STATE/installed"
    exit 0
fi
exit 1
'''
DPKG = r'''
case "$1" in
    --print-architecture) echo amd64 ;;
    --print-foreign-architectures) cat "$STATE/foreign" ;;
    --add-architecture) echo "$2" >>"$STATE/foreign"; echo "add $2" >>"$STATE/log" ;;
    --remove-architecture) sed -i "/^$2\$/d" "$STATE/foreign"; echo "remove $2" >>"$STATE/log" ;;
    *) exit 2 ;;
esac
'''
APT_GET = r'''
source "$STATE/scenario"
updates=$(cat "$STATE/updates")
if [[ " $* " == *" update "* ]]; then
    echo $((updates + 1)) >"$STATE/updates"
    echo update >>"$STATE/log"
    if ((updates < fail_updates)); then
        echo "$fetch_error" >&2
        exit 100
    fi
    exit 0
fi
simulate=false
packages=()
for a in "$@"; do
    case "$a" in
        -s) simulate=true ;;
        -*) ;;
        install) ;;
        *) packages+=("$a") ;;
    esac
done
for p in "${packages[@]}"; do
    if [[ $p == *:i386 ]] && ! grep -qx i386 "$STATE/foreign"; then
        echo "E: Unable to locate package $p" >&2
        exit 100
    fi
    need=${ready[$p]:-0}
    if [[ $need == never ]] || ((updates < need)); then
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100
    fi
done
$simulate && exit 0
echo "install ${packages[*]}" >>"$STATE/log"
printf '%s\n' "${packages[@]}" >>"$STATE/installed"
'''
SLEEP = 'echo "sleep $1" >>"$STATE/log"'

WINE32 = ["wine32:i386", "libcups2:i386"]
# Stand-ins for what a command asks for on a machine that has nothing, taken from the set-up's own
# run against a whole mirror: RUN for the run command, TEST for the test command without the
# i386 packages.
RUN, TEST = "RUN", "TEST"


def scenario(name, command, *, installed=(), foreign=(), fail_updates=0, fail_arch="i386",
             ready=None, status=0, log=(), says=(), stderr_says=(), arch_after=(), i386=True):
    return dict(name=name, command=command, installed=installed, foreign=foreign,
                fail_updates=fail_updates, fail_arch=fail_arch, ready=ready or {}, status=status,
                log=log, says=says, stderr_says=stderr_says, arch_after=arch_after, i386=i386)


def installs(*packages):
    return "install " + " ".join(packages)


CASES = [
    scenario("all there: nothing to do", ["run"], installed=[RUN], log=[]),
    scenario("the run command never touches the i386 architecture", ["run"],
             log=["update", installs(RUN)]),
    scenario("a fresh machine and a whole mirror: 32-bit Wine too", ["test"],
             log=["add i386", "update", installs(TEST, *WINE32)],
             arch_after=["i386"]),
    scenario("the mirror lacks the i386 security index: on without 32-bit Wine, i386 taken away",
             ["test"], fail_updates=99, ready={p: "never" for p in WINE32},
             log=["add i386", "update", installs(TEST), "remove i386"],
             says=["32-bit Wine left out: wine32:i386 libcups2:i386 cannot be installed today",
                   "could not fetch bookworm-security/main/binary-i386/Packages"]),
    scenario("an index missing that nothing wanted comes from: on without a word of retrying",
             ["run"], fail_updates=99, fail_arch="arm64",
             log=["update", installs(RUN)],
             says=["could not fetch bookworm-security/main/binary-arm64/Packages; what is "
                   "wanted can be installed without it"]),
    scenario("a mirror out of step for a moment: one retry after a pause, then everything",
             ["test"], fail_updates=1, fail_arch="amd64", ready={"qt6-base-dev": 2},
             log=["add i386", "update", "sleep 15", "update", installs(TEST, *WINE32)],
             says=["updating again in 15 s"], arch_after=["i386"]),
    scenario("a needed package that cannot be had: one line naming it, status 1, i386 taken away",
             ["test"], fail_updates=99, fail_arch="amd64", ready={"qt6-base-dev": "never"},
             status=1, log=["add i386", "update", "sleep 15", "update", "remove i386"],
             stderr_says=["scripts/setup: cannot install qt6-base-dev from this machine's "
                          "package sources (apt-get: Unable to correct problems, you have held "
                          "broken packages; the update could not fetch bookworm-security/main/"
                          "binary-amd64/Packages); try again later"]),
    scenario("i386 set up by the user stays, though 32-bit Wine cannot be had", ["test"],
             installed=[TEST], foreign=["i386"], ready={"wine32:i386": "never"},
             log=["update"], says=["32-bit Wine left out"], arch_after=["i386"]),
    scenario("the Windows test set-up asks for no i386 package", ["windows-test-x86_64"],
             log=["update", installs("file", "wine", "wine64")], i386=False),
]


def asked_for(source, command):
    """What scripts/setup COMMAND installs on a machine that has nothing, from a whole mirror,
    besides the i386 packages."""
    with tempfile.TemporaryDirectory() as tmp:
        state = prepare(tmp, source, scenario("", []))
        r = run(tmp, state, [command])
        with open(os.path.join(state, "log")) as f:
            installed = [line.split()[1:] for line in f if line.startswith("install ")]
        return [p for p in installed[0] if ":" not in p] if r.returncode == 0 and installed else []


def stub(folder, name, body):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write("#!/bin/bash\n" + body + "\n")
    os.chmod(path, 0o755)


def prepare(tmp, source, case, lists=None):
    state = os.path.join(tmp, "state")
    bin_dir = os.path.join(tmp, "bin")
    os.makedirs(state)
    os.makedirs(bin_dir)
    os.makedirs(os.path.join(tmp, "scripts"))
    shutil.copy(os.path.join(source, "scripts", "setup"), os.path.join(tmp, "scripts", "setup"))
    installed = [p for item in case["installed"] for p in (lists or {}).get(item, [item])]
    for name, text in [("installed", installed), ("foreign", case["foreign"]), ("log", [])]:
        with open(os.path.join(state, name), "w") as f:
            f.write("".join(line + "\n" for line in text))
    with open(os.path.join(state, "updates"), "w") as f:
        f.write("0\n")
    with open(os.path.join(state, "scenario"), "w") as f:
        f.write(f"fail_updates={case['fail_updates']}\n")
        f.write("fetch_error=" + shlex_quote(FETCH_ERROR.format(arch=case["fail_arch"])) + "\n")
        f.write("declare -A ready=(" + " ".join(f"[{p}]={n}" for p, n in case["ready"].items())
                + ")\n")
    for name, body in [("dpkg-query", DPKG_QUERY), ("dpkg", DPKG), ("apt-get", APT_GET),
                       ("sleep", SLEEP), ("id", "echo 0")]:
        stub(bin_dir, name, body)
    return state


def shlex_quote(text):
    return "'" + text.replace("'", "'\\''") + "'"


def run(tmp, state, args):
    env = dict(os.environ, STATE=state,
               PATH=os.path.join(tmp, "bin") + ":" + os.environ["PATH"])
    return subprocess.run(["bash", os.path.join(tmp, "scripts", "setup")] + args, env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)


def main():
    source = sys.argv[1]
    failures = skipped = 0
    lists = {RUN: asked_for(source, "run"), TEST: asked_for(source, "test")}
    if not lists[RUN] or not lists[TEST]:
        print(f"FAIL - on a machine that has nothing, scripts/setup run and test ask for {lists}")
        return 1
    for case in CASES:
        with tempfile.TemporaryDirectory() as tmp:
            state = prepare(tmp, source, case, lists)
            r = run(tmp, state, case["command"])
            if case["i386"] and "this kernel runs no 32-bit programs" in r.stdout:
                skipped += 1
                print(f"skip - {case['name']}: this kernel runs no 32-bit programs")
                continue
            with open(os.path.join(state, "log")) as f:
                log = f.read().splitlines()
            with open(os.path.join(state, "foreign")) as f:
                arch_after = f.read().split()
            expected_log = [" ".join(w for word in line.split() for w in lists.get(word, [word]))
                            for line in case["log"]]
            problems = []
            if r.returncode != case["status"]:
                problems.append(f"status {r.returncode}, not {case['status']}")
            if log != expected_log:
                problems.append(f"did {log}, not {expected_log}")
            if arch_after != list(case["arch_after"]):
                problems.append(f"foreign architectures after: {arch_after}")
            problems += [f"never says {s!r}" for s in case["says"] if s not in r.stdout]
            problems += [f"never says {s!r} on stderr" for s in case["stderr_says"]
                         if s not in r.stderr]
            if case["status"] and len(r.stderr.strip().splitlines()) != 1:
                problems.append("fails with more than one line")
            failures += bool(problems)
            print(("FAIL - " if problems else "ok   - ") + case["name"]
                  + ("" if not problems else ": " + "; ".join(problems)
                     + f"\n  stdout: {r.stdout!r}\n  stderr: {r.stderr!r}"))
    print(f"{len(CASES) - failures - skipped} passed, {failures} failed, {skipped} skipped")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
