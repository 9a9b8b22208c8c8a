# SPDX-License-Identifier: MIT
"""Fails when the build or the tests use a program, CMake package or library that the set-up
(scripts/setup) does not install for the README command that runs them: scripts/test with this
build's option, and scripts/run for the part of the build that makes the program.

What the command installs is taken from the scripts themselves, not from a copy of their lists:
the command runs in a scratch copy where scripts/setup only notes how it is called, the other
scripts only call scripts, and the build tools do nothing; then the real scripts/setup runs once
per call against a stand-in apt-get that notes what it is asked for. That set, less the packages
of another architecture (which the set-up may have to go without), everything it pulls in
(apt-cache depends --recurse) and the minimal installation's own packages (Essential or
Priority: required) are what a fresh machine would have.

What is used: the programs and CMake packages in the build trees' CMakeCache.txt files, the
libraries on their link lines, and every external command of the end-to-end scripts, each
mapped to its package with dpkg -S.

Usage: setup_guard.py --source DIR --build DIR [--option OPT] [--scripts DIR]
                      [--optional NAME...] [--] [SCRIPT...]
  --option:   the command's option: --sanitize or --fuzz (none for the plain scripts/test)
  --optional: cache entries the build uses only when this machine happens to have them
  --scripts: the folder of command scripts to check (default: the source's scripts/)
"""
import argparse
import functools
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

ARCH = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                      text=True).stdout.strip()

BASH_WORDS = set("""
    ! [[ ]] { } if then else elif fi for in do done while until case esac function select time
    . : [ alias bg bind break builtin caller cd command compgen complete compopt continue declare
    dirs disown echo enable eval exec exit export false fc fg getopts hash help history jobs kill
    let local logout mapfile popd printf pushd pwd read readarray readonly return set shift shopt
    source suspend test times trap true type typeset ulimit umask unalias unset wait
""".split())
# Commands that run the command given in their arguments, and how many words come before it.
WRAPPERS = {"timeout": 1, "exec": 0, "command": 0, "nohup": 0, "env": 0, "check": 1,
            "eventually": 0}


def find_close(s, i, opener, closer):
    """Index just past the closer matching the opener before s[i], minding quotes."""
    depth = 1
    while i < len(s):
        c = s[i]
        if c == "\\":
            i += 2
            continue
        if c == "'":
            i = s.index("'", i + 1) + 1
            continue
        if c == '"':
            i = skip_double(s, i + 1)
            continue
        if s.startswith(opener, i):
            depth += 1
            i += len(opener)
            continue
        if s.startswith(closer, i):
            depth -= 1
            i += len(closer)
            if depth == 0:
                return i
            continue
        i += 1
    raise ValueError("unbalanced " + opener)


def skip_double(s, i, subs=None):
    """Index just past the double quote that closes the string starting at s[i]; the command
    substitutions inside go to subs."""
    while s[i] != '"':
        if s[i] == "\\":
            i += 2
        elif s.startswith("$((", i):
            i = find_close(s, i + 3, "((", "))")
        elif s.startswith("$(", i):
            end = find_close(s, i + 2, "(", ")")
            if subs is not None:
                subs.append(s[i + 2:end - 1])
            i = end
        elif s.startswith("${", i):
            i = find_close(s, i + 2, "{", "}")
        else:
            i += 1
    return i + 1


def tokens(s):
    """Words and operators of a shell text. A word is (text, literal, quoted_text): literal when it
    has no expansion; quoted_text is a single- or double-quoted word's content. Command
    substitutions come back as separate texts."""
    out, subs, i = [], [], 0
    while i < len(s):
        c = s[i]
        if c == "\\" and s.startswith("\\\n", i):
            i += 2
        elif c in " \t":
            i += 1
        elif c == "#":
            i = s.find("\n", i) if "\n" in s[i:] else len(s)
        elif c == "\n":
            out.append(("op", "\n"))
            i += 1
        elif s.startswith("&>", i):
            i += 2  # the target follows as a word, which is never at a command's place
            out.append(("word", ("&>", True, None)))
        elif s.startswith(("&&", "||", ";;"), i):
            out.append(("op", s[i:i + 2]))
            i += 2
        elif s.startswith("((", i):
            i = find_close(s, i + 2, "((", "))")
            out.append(("word", ("((", False, None)))
        elif c in ";&|()":
            out.append(("op", c))
            i += 1
        else:
            start, literal, quoted = i, True, None
            while i < len(s) and s[i] not in " \t\n;&|()":
                if s[i] == "\\":
                    i += 2
                elif s[i] == "'":
                    end = s.index("'", i + 1)
                    quoted = s[i + 1:end]
                    i = end + 1
                elif s[i] == '"':
                    end = skip_double(s, i + 1, subs)
                    quoted, literal = s[i + 1:end - 1], literal and "$" not in s[i + 1:end - 1]
                    i = end
                elif s.startswith("$((", i):
                    i, literal = find_close(s, i + 3, "((", "))"), False
                elif s.startswith("$(", i):
                    end = find_close(s, i + 2, "(", ")")
                    subs.append(s[i + 2:end - 1])
                    i, literal = end, False
                elif s.startswith("${", i):
                    i, literal = find_close(s, i + 2, "{", "}"), False
                elif s[i] in "<>" and s[i + 1:i + 2] == "&":
                    i += 2
                elif s[i] == "$":
                    i, literal = i + 1, False
                elif s[i] in "<>" and i + 1 < len(s) and s[i + 1] == "(":
                    end = find_close(s, i + 2, "(", ")")
                    subs.append(s[i + 2:end - 1])
                    i, literal = end, False
                else:
                    i += 1
            out.append(("word", (s[start:i], literal, quoted)))
    return out, subs


def strip_heredocs(text):
    lines, out, end = text.split("\n"), [], None
    for line in lines:
        if end is not None:
            if line.strip() == end:
                end = None
            continue
        m = re.search(r"<<-?\s*['\"]?(\w+)['\"]?", line)
        if m and "<<<" not in line:
            end = m.group(1)
            line = line[:m.start()]
        out.append(line)
    return "\n".join(out)


def commands(text, functions):
    """The external commands a shell text runs, as far as they are spelled out."""
    found = set()
    toks, subs = tokens(strip_heredocs(text))
    at_cmd, skip, in_test, after = True, 0, False, None
    cases = []  # for each case statement entered: "head", "pattern" or "body"
    for kind, tok in toks:
        if cases and cases[-1] in ("head", "pattern"):
            # A case's subject and its patterns are no commands.
            if kind == "word" and cases[-1] == "head" and tok[0] == "in":
                cases[-1] = "pattern"
            elif kind == "word" and cases[-1] == "pattern" and tok[0] == "esac":
                cases.pop()
            elif kind == "op" and cases[-1] == "pattern" and tok == ")":
                cases[-1], at_cmd = "body", True
            continue
        if kind == "op":
            if tok == ";;" and cases:
                cases[-1] = "pattern"
            elif tok != ")":
                at_cmd, skip, in_test, after = True, 0, False, None
            continue
        word, literal, quoted = tok
        if at_cmd and not skip and word in ("case", "esac"):
            if word == "case":
                cases.append("head")
            elif cases:
                cases.pop()
            at_cmd = False
            continue
        if in_test:
            in_test = word != "]]"
            continue
        if after in ("trap", "bash", "sh") and quoted is not None:
            # The commands of a trap, or of bash -c '...', are commands too.
            found |= commands(quoted, functions)
            after = None
            continue
        if not at_cmd:
            continue
        if skip:
            skip -= 1
            continue
        if re.match(r"^\d*[<>]", word) or re.match(r"^[A-Za-z_]\w*(\[[^]]*\])?=", word):
            continue  # a redirection or an assignment before the command
        if word == "[[":
            in_test = True
            continue
        if word in ("!", "{", "if", "then", "else", "elif", "do", "while", "until", "time"):
            continue
        at_cmd = False
        if not literal or word == "((":
            continue  # run through a variable: its value is checked where it is set
        name = quoted if quoted is not None else word
        if name in ("bash", "sh", "trap"):
            after = name
        if name in WRAPPERS:
            at_cmd, skip = True, WRAPPERS[name]
            continue
        if name in BASH_WORDS or name in functions or "/" in name:
            continue
        found.add(name)
    for sub in subs:
        found |= commands(sub, functions)
    return found


def script_closure(paths):
    """The scripts and the files they source."""
    seen, todo = [], list(paths)
    while todo:
        p = os.path.realpath(todo.pop())
        if p in seen:
            continue
        seen.append(p)
        with open(p) as f:
            sourced = r'^\s*(?:source|\.)\s+"\$\(dirname "\$0"\)/([^"]+)"'
            for m in re.finditer(sourced, f.read(), re.M):
                todo.append(os.path.join(os.path.dirname(p), m.group(1)))
    return seen


def stub(folder, name, body):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write("#!/bin/bash\n" + body + "\n")
    os.chmod(path, 0o755)


def installed_by(scripts, command, option):
    """What the README command asks apt-get for, through scripts/setup as it is."""
    with tempfile.TemporaryDirectory() as tmp:
        shutil.copytree(scripts, os.path.join(tmp, "scripts"))
        os.rename(os.path.join(tmp, "scripts", "setup"), os.path.join(tmp, "setup"))
        # The scripts the command calls keep only their calls of other scripts: they may do
        # more than build (register an emulator, say), which a test must not.
        for helper in os.listdir(os.path.join(tmp, "scripts")):
            if helper != command:
                with open(os.path.join(tmp, "scripts", helper)) as f:
                    calls_only = re.findall(r"^\s*(scripts/[\w-]+\b.*)$", f.read(), re.M)
                stub(os.path.join(tmp, "scripts"), helper, "\n".join(calls_only))
        calls = os.path.join(tmp, "calls")
        stub(os.path.join(tmp, "scripts"), "setup", f'printf "%s\\0" "$#" "$@" >>{calls}')
        build_tools = os.path.join(tmp, "build-tools")
        os.mkdir(build_tools)
        for tool in ("cmake", "ctest", "cpack", "ninja", "ls"):
            stub(build_tools, tool, "exit 0")
        env = dict(os.environ, PATH=build_tools + ":" + os.environ["PATH"])
        argv = ["bash", os.path.join(tmp, "scripts", command)] + ([option] if option else [])
        subprocess.run(argv, cwd=tmp, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                       timeout=60)
        if not os.path.exists(calls):
            return None, [f"scripts/{command} never calls scripts/setup"]
        apt = os.path.join(tmp, "apt")
        os.mkdir(apt)
        wanted = os.path.join(tmp, "wanted")
        stub(apt, "dpkg-query", "exit 1")  # a machine with nothing installed
        stub(apt, "dpkg", f'[[ $1 != --print-architecture ]] || echo {ARCH}')
        stub(apt, "id", "echo 0")
        stub(apt, "sudo", 'exec "$@"')
        stub(apt, "apt-get", f'[[ " $* " == *" install "* ]] || exit 0\n'
             f'for a in "$@"; do [[ $a == -* || $a == install ]] || echo "$a" >>{wanted}; done')
        env = dict(os.environ, PATH=apt + ":" + os.environ["PATH"])
        errors, calls_seen = [], []
        with open(calls, "rb") as f:
            fields = f.read().decode().split("\0")[:-1]
        while fields:
            count = int(fields[0])
            args, fields = fields[1:count + 1], fields[count + 1:]
            calls_seen.append("scripts/setup " + " ".join(a if a else '""' for a in args))
            r = subprocess.run(["bash", os.path.join(tmp, "setup")] + args, env=env,
                               stdin=subprocess.DEVNULL, capture_output=True, text=True)
            if r.returncode != 0:
                errors.append(f"{calls_seen[-1]} fails: {r.stderr.strip()}")
        packages = set()
        if os.path.exists(wanted):
            with open(wanted) as f:
                packages = {normal(p) for p in f.read().split()}
        # Packages of another architecture (32-bit Wine's) are only ever an extra the set-up
        # goes on without: nothing the build or the tests use may come from them alone.
        foreign = {p for p in packages if ":" in p}
        print(" ".join(filter(None, [f"scripts/{command}", option])) + " calls "
              + "; ".join(calls_seen)
              + (f"; counted without {' '.join(sorted(foreign))}" if foreign else ""))
        return packages - foreign, errors


def normal(package):
    """A package as apt-cache names it: bare for this machine's architecture and for "all"."""
    for arch in (ARCH, "all"):
        if package.endswith(":" + arch):
            return package[:-len(arch) - 1]
    return package


@functools.lru_cache
def base_packages():
    fields = "-f=${Package}:${Architecture} ${Essential} ${Priority} ${db:Status-Status}\n"
    out = subprocess.run(["dpkg-query", "-W", fields], capture_output=True, text=True).stdout
    base = set()
    for line in out.splitlines():
        name, essential, priority, status = line.split()
        if status == "installed" and (essential == "yes" or priority == "required"):
            base.add(normal(name))
    return base


def closure(packages):
    """The packages and all they depend on, with every alternative; and apt-cache's complaint."""
    if not packages:
        return set(), ""
    r = subprocess.run(["apt-cache", "depends", "--recurse", "--no-recommends", "--no-suggests",
                        "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances"]
                       + sorted(packages), capture_output=True, text=True)
    return {normal(line.strip()) for line in r.stdout.splitlines()
            if line and not line[0].isspace() and not line.startswith("<")} | packages, \
        r.stderr.strip() if r.returncode else ""


KEPT_CMAKE_ENTRIES = {"CMAKE_MAKE_PROGRAM", "CMAKE_COMMAND", "CMAKE_CTEST_COMMAND",
                      "CMAKE_CPACK_COMMAND"}


def cache_entries(build, seen, optional):
    """(what, path) of the programs and CMake packages in a build tree's cache, and of the
    caches of the build trees its entries point into."""
    cache = os.path.join(build, "CMakeCache.txt")
    if build in seen or not os.path.exists(cache):
        return []
    seen.add(build)
    used = []
    with open(cache) as f:
        for line in f:
            m = re.match(r"^([\w.+-]+):(FILEPATH|PATH|INTERNAL)=(/.*)$", line.rstrip("\n"))
            if not m:
                continue
            name, kind, path = m.groups()
            # CMake takes whichever archiver, linker or binary tool it finds, and falls back on
            # those the compiler's own packages bring: the compilers themselves are read below.
            if name in optional or name.startswith("CMAKE_") and name not in KEPT_CMAKE_ENTRIES:
                continue
            if kind == "INTERNAL" and name not in KEPT_CMAKE_ENTRIES:
                continue
            if kind == "PATH" and not name.endswith("_DIR"):
                continue
            if not os.path.exists(path):
                continue
            tree = tree_of(path)
            if tree:
                used += cache_entries(tree, seen, optional)
                continue
            if kind == "PATH":
                configs = [c for c in os.listdir(path) if c.lower().endswith("config.cmake")]
                if configs:
                    path = os.path.join(path, configs[0])
            elif not (os.path.isfile(path) and os.access(path, os.X_OK)):
                continue  # a library a find module looked for: the link lines say what is used
            used.append((name, path))
    used += link_libraries(build) + compilers(build)
    return used


def compilers(build):
    """The compilers a build tree was configured with, as CMake recorded them."""
    found = []
    for recorded in glob.glob(os.path.join(build, "CMakeFiles", "*", "CMake*Compiler.cmake")):
        with open(recorded) as f:
            for m in re.finditer(r'^set\((CMAKE_\w+_COMPILER) "([^"]+)"\)', f.read(), re.M):
                path = m.group(2) if os.path.isabs(m.group(2)) else shutil.which(m.group(2))
                if path:
                    found.append((m.group(1), path))
    return found


def tree_of(path):
    """The build tree a path lies in, if any."""
    d = os.path.dirname(path)
    while d not in ("/", ""):
        if os.path.exists(os.path.join(d, "CMakeCache.txt")):
            return d
        d = os.path.dirname(d)
    return None


def link_libraries(build, program_only=False):
    """The system's libraries on the link lines of a build tree; with program_only, of what
    the program itself builds, not of its tests and benchmarks."""
    found, output = set(), ""
    for folder, _, files in os.walk(build):
        if "build.ninja" in files:
            with open(os.path.join(folder, "build.ninja")) as f:
                for line in f:
                    if line.startswith("build "):
                        output = line.split()[1]
                    elif line.lstrip().startswith("LINK_LIBRARIES") and not (
                            program_only and output.startswith(("tests/", "bench/"))):
                        found |= set(re.findall(r"(?<![\w/])(/usr/\S+\.(?:so|a)(?:\.\d+)*)", line))
    return [("linked " + os.path.basename(p), p) for p in sorted(found)]


def program_entries(build):
    """What building the program alone uses (scripts/run): compilers, build tools, libraries."""
    used = compilers(build) + link_libraries(build, program_only=True)
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for m in re.finditer(r"^(CMAKE_MAKE_PROGRAM|CMAKE_COMMAND):\w+=(/.*)$", f.read(), re.M):
            used.append(m.groups())
    return used


def owners(paths):
    """Package(s) owning each path, via dpkg -S on the resolved path (links and alternatives
    followed) and on its merged-/usr twin."""
    candidates = {}
    for path in paths:
        first = [os.path.realpath(path), path]
        candidates[path] = first + [c[4:] if c.startswith("/usr/") else "/usr" + c for c in first]
    every = sorted({c for cs in candidates.values() for c in cs})
    out = subprocess.run(["dpkg", "-S"] + every, capture_output=True, text=True).stdout
    owned = {}
    for line in out.splitlines():
        pkgs, _, path = line.partition(": ")
        owned[path] = {normal(p.strip()) for p in pkgs.split(",")}
    return {path: next((owned[c] for c in cs if c in owned), set())
            for path, cs in candidates.items()}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--source", required=True)
    ap.add_argument("--build", required=True)
    ap.add_argument("--option", default="")
    ap.add_argument("--scripts")
    ap.add_argument("--optional", nargs="*", default=[])
    ap.add_argument("e2e", nargs="*")
    args = ap.parse_args()
    source = os.path.realpath(args.source)
    scripts = args.scripts or os.path.join(source, "scripts")

    packages, errors = installed_by(scripts, "test", args.option)
    used = cache_entries(os.path.realpath(args.build), set(), set(args.optional))
    functions = set()
    texts = []
    for path in script_closure(args.e2e):
        with open(path) as f:
            texts.append(f.read())
            functions |= set(re.findall(r"^\s*([\w-]+)\s*\(\)\s*\{", texts[-1], re.M))
    e2e = set()
    for text in texts:
        e2e |= commands(text, functions)
    print("end-to-end scripts run: " + " ".join(sorted(e2e)))
    for name in sorted(e2e):
        path = shutil.which(name)
        if not path:
            errors.append(f"the end-to-end scripts run {name}, which is not on this machine")
        else:
            used.append((name, path))
    used.append(("python3", sys.executable))

    failures = errors + check("scripts/test " + args.option, packages, used)
    if os.path.exists(os.path.join(args.build, "app", "CMakeFiles")):
        packages, errors = installed_by(scripts, "run", "")
        failures += errors + check("scripts/run", packages, program_entries(args.build))
    for failure in failures:
        print("FAIL - " + failure)
    return 1 if failures else 0


def check(command, packages, used):
    """Failures for what the command uses but does not install, nor gets with what it does."""
    command = command.strip()
    present, complaint = closure(packages or set())
    present |= base_packages()
    unique = {}
    for what, path in used:
        unique.setdefault(path, what)
    failures = [f"apt-cache on what {command} installs: {complaint}"] if complaint else []
    for path, pkgs in owners(unique).items():
        if not pkgs:
            failures.append(f"{unique[path]} ({path}) belongs to no Debian package")
        elif not pkgs & present:
            failures.append(f"{unique[path]} ({path}) is in {', '.join(sorted(pkgs))}, which "
                            f"{command} does not install")
    print(f"{command}: {len(unique)} programs, CMake packages and libraries checked against "
          f"{len(packages or [])} packages asked for, {len(present)} with what they pull in and "
          f"the base system")
    return failures

if __name__ == "__main__":
    sys.exit(main())
