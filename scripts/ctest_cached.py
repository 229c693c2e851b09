#!/usr/bin/env python3
"""Runs ctest in a build folder, leaving out the tests that passed before
with exactly the same inputs.

    ctest_cached.py [--all] BUILD_DIR [CTEST ARGUMENTS...]

A test's fingerprint covers its definition (command, environment, working
folder, limits), every file its command names (the test program or script,
the program it drives), every source folder its command names, the whole
source tree apart from the compiled sources (src/, bench/, the tests' C++
files: they reach the tests only through the programs, which are part of
the fingerprint), every file the build made apart from the tests' own
outputs, the installed Debian packages, the sanitizer and locale settings
and the day. A test is left out only when a passing run with the same
fingerprint is on record in BUILD_DIR/Testing/passed-inputs.txt; any change
runs it again. --all (or SKYLOOM_TEST_ALL=1) runs every test and records
the results afresh; a fresh build folder has no record and runs everything.
"""

import datetime
import hashlib
import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

SOURCE = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))
# Build folders that hold what tests write (their work folders, scratch
# files, the packages and installs they make) rather than what they read.
BUILD_OUTPUTS = {"CMakeFiles", "Testing", "tests", "package", "render-pictures", "test_scratch",
                 "zone-root", "install_manifest.txt", "_CPack_Packages"}
# Files CMake and the build tools rewrite for themselves (what they say
# reaches the tests through the programs and the test definitions), and
# logs.
BOOKKEEPING = {"CMakeCache.txt", "Makefile", "compile_commands.json", "build.ninja", ".ninja_log",
               ".ninja_deps"}
# Environment that changes what a test does.
ENV_KEYS = ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "SDL_VIDEODRIVER", "SDL_AUDIODRIVER",
            "LANG", "LC_ALL", "TZ", "SKYLOOM_DATA", "HOME", "PATH")

FILTERS = ("-R", "--tests-regex", "-E", "--exclude-regex", "-L", "--label-regex", "-LE",
           "--label-exclude")

_file_hashes = {}


def file_hash(path):
    path = os.path.realpath(path)
    if path not in _file_hashes:
        h = hashlib.sha256()
        try:
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(1 << 20), b""):
                    h.update(block)
        except OSError as e:
            h.update(("unreadable " + str(e)).encode())
        _file_hashes[path] = h.hexdigest()
    return _file_hashes[path]


def tree_hash(root, skip_top=(), skip=lambda rel: False):
    """Names and contents of every file under root, in a fixed order."""
    h = hashlib.sha256()
    for folder, dirs, files in os.walk(root, followlinks=False):
        rel_folder = os.path.relpath(folder, root)
        dirs[:] = sorted(d for d in dirs
                         if d != "CMakeFiles" and not (rel_folder == "." and d in skip_top))
        for name in sorted(files):
            if rel_folder == "." and name in skip_top:
                continue
            if name in BOOKKEEPING or name.endswith(".log"):
                continue
            rel = os.path.normpath(os.path.join(rel_folder, name))
            if skip(rel):
                continue
            full = os.path.join(folder, name)
            h.update(rel.encode() + b"\0")
            if os.path.islink(full):
                h.update(b"link " + os.readlink(full).encode() + b"\0")
            if os.path.isfile(full):
                h.update(file_hash(full).encode())
            h.update(b"\n")
    return h.hexdigest()


def source_files():
    out = subprocess.run(["git", "-C", SOURCE, "ls-files", "-co", "--exclude-standard", "-z"],
                         capture_output=True, check=True).stdout
    return sorted(p for p in out.decode().split("\0") if p)


def compiled_source(rel):
    if rel.startswith(("src/", "bench/", ".git")):
        return True
    return rel.startswith("tests/") and rel.endswith((".cpp", ".h", ".hpp"))


def common_hash(build):
    h = hashlib.sha256()
    try:
        files = source_files()
    except (OSError, subprocess.CalledProcessError):
        files = None
    if files is None:
        h.update(tree_hash(SOURCE, skip_top={".git", "build", "build-san"},
                           skip=compiled_source).encode())
    else:
        for rel in files:
            if compiled_source(rel):
                continue
            full = os.path.join(SOURCE, rel)
            h.update(rel.encode() + b"\0")
            if os.path.isfile(full):
                h.update(file_hash(full).encode())
            h.update(b"\n")
    h.update(tree_hash(build, skip_top=BUILD_OUTPUTS).encode())
    packages = subprocess.run(["dpkg-query", "-W", "-f", "${Package} ${Version}\n"],
                              capture_output=True).stdout
    h.update(packages)
    for key in ENV_KEYS:
        h.update(f"{key}={os.environ.get(key, '')}\n".encode())
    h.update(datetime.datetime.now(datetime.timezone.utc).date().isoformat().encode())
    return h.hexdigest()


def in_source(path):
    """True for a folder of the source tree (not of a build folder in it)."""
    rel = os.path.relpath(os.path.realpath(path), SOURCE)
    return not rel.startswith("..") and rel != "." and not rel.split(os.sep)[0].startswith("build")


def test_hash(test, common):
    h = hashlib.sha256(common.encode())
    h.update(json.dumps({k: test.get(k) for k in ("name", "command", "properties")},
                        sort_keys=True).encode())
    for arg in test.get("command") or []:
        if not os.path.isabs(arg):
            continue
        if os.path.isfile(arg):
            h.update(f"{arg}:{file_hash(arg)}\n".encode())
        elif os.path.isdir(arg) and in_source(arg):
            h.update(f"{arg}:{tree_hash(arg)}\n".encode())
    return h.hexdigest()


def list_tests(build, args):
    out = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1", *args],
                         capture_output=True, check=True).stdout
    return json.loads(out)["tests"]


def main():
    argv = sys.argv[1:]
    run_all = os.environ.get("SKYLOOM_TEST_ALL", "") not in ("", "0")
    if argv and argv[0] == "--all":
        run_all = True
        argv = argv[1:]
    if not argv:
        sys.exit(__doc__)
    build = os.path.realpath(argv[0])
    # The filters choose the tests; -I then names them by number in the whole
    # list (ctest would number them within the filtered list otherwise).
    filters, args = [], []
    rest = iter(argv[1:])
    for arg in rest:
        if arg in FILTERS:
            filters += [arg, next(rest)]
        else:
            args.append(arg)
    record_path = os.path.join(build, "Testing", "passed-inputs.txt")

    # Test numbers are the places in the unfiltered list; -I picks them.
    number = {t["name"]: i + 1 for i, t in enumerate(list_tests(build, []))}
    chosen = list_tests(build, filters)
    common = common_hash(build)
    prints = {t["name"]: test_hash(t, common) for t in chosen}

    passed = {}
    if os.path.isfile(record_path):
        with open(record_path, encoding="utf-8") as f:
            for line in f:
                fingerprint, _, name = line.rstrip("\n").partition(" ")
                passed[name] = fingerprint
    if run_all:
        passed = {}
    to_run = [t["name"] for t in chosen if passed.get(t["name"]) != prints[t["name"]]]
    left_out = len(chosen) - len(to_run)
    if left_out:
        print(f"== {left_out} of {len(chosen)} tests passed before with the same inputs and are "
              f"not run again (--all runs them)", flush=True)
    status = 0
    if to_run:
        junit = os.path.join(build, "Testing", "last-run.xml")
        if os.path.exists(junit):
            os.remove(junit)
        numbers = ",".join(str(number[n]) for n in to_run)
        status = subprocess.run(["ctest", "--test-dir", build, *args, "-I", f"0,0,0,{numbers}",
                                 "--output-junit", junit]).returncode
        if os.path.isfile(junit):
            for case in ET.parse(junit).getroot().iter("testcase"):
                name = case.get("name")
                if name in prints:
                    if case.get("status") == "run" and case.find("failure") is None:
                        passed[name] = prints[name]
                    else:
                        passed.pop(name, None)
        # A name no longer defined has no record to keep.
        known = set(number)
        os.makedirs(os.path.dirname(record_path), exist_ok=True)
        with open(record_path + ".new", "w", encoding="utf-8") as f:
            for name in sorted(passed):
                if name in known:
                    f.write(f"{passed[name]} {name}\n")
        os.replace(record_path + ".new", record_path)
    elif not chosen:
        print("== no tests chosen", flush=True)
    sys.exit(status)


if __name__ == "__main__":
    main()
