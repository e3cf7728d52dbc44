#!/usr/bin/env python3
"""Mutation testing of the library: which small faults in its sources does no test notice?

Each mutant changes one thing in one line of api/, protocol/, comm/ or image/ (a byte of a
command, a relational operator, a bound, a result code, a logical operator). The script works
on a copy of the tracked files in its own build directory, so the worktree is never touched:
for each mutant it edits the copy, rebuilds only the library's test programs, runs their tests
with a time-out and restores the line. A mutant is killed when a test fails or times out,
survives when every test passes, and is stillborn when it does not compile.

  tools/mutate.py list [--count N] [--seed S] [-o FILE]
      Writes the sample: N sites spread evenly over every mutation site (a stride through the
      ordered list, starting at offset S), one per line. The file is the sample's definition:
      give it to `run` to run exactly the same mutants again.
  tools/mutate.py run [--mutants FILE] [--count N] [--seed S] [--max M] [--build DIR]
                      [--timeout SEC] [--exclude REGEX] [--results FILE] [--rev REV]
      Runs the mutants of FILE (or of the sample list would write) on the worktree's tracked
      files, or on those of commit REV with --rev REV, and reports the killed, the survivors
      (file:line, what changed) and the stillborn. A mutant whose line has changed
      since the sample was written is reported stale and left out of the rate.

The script lowers its own priority (nice 10) and builds with two jobs.
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LIBRARY_DIRS = ("api", "protocol", "comm", "image")
SOURCE_SUFFIXES = (".cpp", ".h")

# Tests that are not about the library's own behaviour, or too slow to run for every mutant:
# rendering, the virtual printer's own suite, the export list, installation, valgrind, the
# kernel rig (excluded by label).
DEFAULT_EXCLUDE = r"^(render_test|vprinter_\w+|exported_symbols|install_and_link|open_close_leaks)$"
EXCLUDED_LABELS = {"kernel"}

RESULT_CODES = [
    "SUCCESS", "ERR_FAILED", "ERR_NOT_SUPPORTED", "ERR_INVALID_ARGUMENT", "ERR_PORT_NOT_OPEN",
    "ERR_NO_MEMORY", "ERR_NO_PROTOCOL", "ERR_USB_OPEN", "ERR_USB_CONFIGURATION", "ERR_USB_CLAIM",
    "ERR_USB_RELEASE", "ERR_CLOSE", "ERR_USB_NOT_FOUND", "ERR_SERIAL_TIMEOUT",
    "ERR_USB_LIBRARY", "ERR_READ",
]
RELATIONAL_SWAP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
LOGICAL_SWAP = {"&&": "||", "||": "&&"}


# ---------------------------------------------------------------------------------------------
# Mutation sites


def masked(text):
    """text with comments, string literals and preprocessor lines blanked (newlines kept), so
    that only code is mutated. Character literals stay: they are command bytes."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and text[i:].lstrip(" \t").startswith("#"):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
            continue
        line_start = c == "\n"
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            for j in range(i, end):
                if text[j] != "\n":
                    out[j] = " "
            i = end
        elif c == '"':
            j = i + 1
            while j < n and text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            for k in range(i, min(j + 1, n)):
                out[k] = " "
            i = j + 1
        elif c == "'":
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
        else:
            i += 1
    return "".join(out)


def next_char(c):
    nxt = chr(ord(c) + 1)
    return chr(ord(c) + 2) if nxt in "'\\" else nxt


def hex_plus_one(literal):
    digits = literal[2:]
    value = int(digits, 16)
    value = value - 1 if set(digits.upper()) == {"F"} else value + 1
    return literal[:2] + format(value, "0%dX" % len(digits))


def next_result_code(name):
    i = RESULT_CODES.index(name)
    return RESULT_CODES[(i + 1) % len(RESULT_CODES)]


OPERATORS = [
    # (name, pattern on the masked line, function from the match to its replacements)
    ("byte", re.compile(r"\b0[xX][0-9A-Fa-f]+\b"), lambda m: [hex_plus_one(m.group())]),
    ("byte", re.compile(r"'([^'\\])'"), lambda m: ["'%s'" % next_char(m.group(1))]),
    ("bound", re.compile(r"(?<![\w.'])\d+(?![\w.'])"),
     lambda m: [str(int(m.group()) + 1)] + ([str(int(m.group()) - 1)] if int(m.group()) else [])),
    ("relational", re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)"),
     lambda m: [RELATIONAL_SWAP[m.group()]]),
    ("logical", re.compile(r"(?<=\s)(&&|\|\|)(?=\s)"), lambda m: [LOGICAL_SWAP[m.group()]]),
    ("result", re.compile(r"\bTALLYJET_(SUCCESS|ERR_[A-Z_]+)\b"),
     lambda m: ["TALLYJET_" + next_result_code(m.group(1))] if m.group(1) in RESULT_CODES else []),
]


def library_files(root):
    files = []
    for d in LIBRARY_DIRS:
        files += sorted(p for p in (root / d).iterdir() if p.suffix in SOURCE_SUFFIXES)
    return files


def all_sites(root):
    """Every mutation site, in a fixed order: file, line, column, operator."""
    sites = []
    for path in library_files(root):
        text = path.read_text()
        lines = text.split("\n")
        for number, code in enumerate(masked(text).split("\n"), start=1):
            found = []
            for name, pattern, replacements in OPERATORS:
                for m in pattern.finditer(code):
                    for repl in replacements(m):
                        found.append((m.start(), name, m.group(), repl))
            for col, name, orig, repl in sorted(found):
                sites.append({"file": str(path.relative_to(root)), "line": number, "col": col,
                              "op": name, "orig": orig, "repl": repl, "text": lines[number - 1]})
    return sites


def sample(sites, count, seed):
    if count >= len(sites):
        return sites
    stride = len(sites) / count
    offset = seed % max(1, int(stride))
    return [sites[int(offset + k * stride)] for k in range(count)]


def write_sample(sites, out):
    for s in sites:
        out.write("%s:%d:%d\t%s\t%s\t%s\t%s\n" % (s["file"], s["line"], s["col"], s["op"],
                                                  s["orig"], s["repl"], s["text"]))


def read_sample(path):
    sites = []
    for row in Path(path).read_text().split("\n"):
        if not row.strip() or row.startswith("#"):
            continue
        where, op, orig, repl, text = row.split("\t", 4)
        file, line, col = where.rsplit(":", 2)
        sites.append({"file": file, "line": int(line), "col": int(col), "op": op, "orig": orig,
                      "repl": repl, "text": text})
    return sites


def describe(s):
    return "%s:%d %s %s -> %s   | %s" % (s["file"], s["line"], s["op"], s["orig"], s["repl"],
                                        s["text"].strip())


# ---------------------------------------------------------------------------------------------
# The copy, its build and its tests


def git(*args):
    return subprocess.run(["git", "-C", str(ROOT)] + list(args), check=True,
                          capture_output=True).stdout


def sync_copy(copy_root, rev):
    """Brings the copy to the worktree's tracked files, or to those of commit rev. Files are
    rewritten only when their content differs, so that a copy left mutated by an interrupted
    run is rebuilt."""
    if rev:
        listed = git("ls-tree", "-r", "-z", "--name-only", rev).decode().split("\0")
    else:
        listed = git("ls-files", "-z").decode().split("\0")
    for name in filter(None, listed):
        src = ROOT / name
        if rev:
            data = git("show", "%s:%s" % (rev, name))
        elif src.is_file() and not src.is_symlink():
            data = src.read_bytes()
        else:
            continue
        dst = copy_root / name
        if dst.is_file() and dst.read_bytes() == data:
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(data)
        if name.endswith(".sh") or (src.is_file() and os.access(src, os.X_OK)):
            os.chmod(dst, 0o755)


def run(cmd, timeout=None, **kw):
    return subprocess.run(cmd, capture_output=True, text=True, timeout=timeout, **kw)


def configure(copy_root, obj):
    """A build type of no flags (no optimisation, no debug information) and lld: each mutant
    compiles one file and relinks every test program, so compiling and linking must be quick."""
    linker = ["-DCMAKE_%s_LINKER_FLAGS=-fuse-ld=lld" % kind for kind in ("EXE", "SHARED")]
    r = run(["cmake", "-S", str(copy_root), "-B", str(obj), "-DCMAKE_BUILD_TYPE=Mutate",
             "-DTALLYJET_BUILD_BENCHMARKS=OFF"] + (linker if shutil.which("ld.lld") else []))
    if r.returncode:
        sys.exit("configure failed:\n" + r.stdout + r.stderr)


def test_programs(obj):
    """Each test's program, from the CTest files (CTest's own list omits programs not built)."""
    programs = {}
    for ctest_file in obj.rglob("CTestTestfile.cmake"):
        for m in re.finditer(r'^add_test\((\S+) "([^"]+)"', ctest_file.read_text(), re.M):
            programs[re.sub(r"^\[=*\[|\]=*\]$", "", m.group(1))] = Path(m.group(2))
    return programs


def library_tests(obj, exclude):
    """The tests to run and the programs of this build they need."""
    info = json.loads(run(["ctest", "--show-only=json-v1"], cwd=obj).stdout)
    programs = test_programs(obj)
    tests, targets = [], set()
    for t in info["tests"]:
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        if re.search(exclude, t["name"]) or set(props.get("LABELS", [])) & EXCLUDED_LABELS:
            continue
        program = programs.get(t["name"])
        if program is not None and obj in program.parents:
            targets.add(program.name)
        tests.append(t["name"])
    return tests, sorted(targets)


def build(obj, targets):
    return run(["cmake", "--build", str(obj), "-j2", "--target"] + targets).returncode == 0


def run_tests(obj, stages, timeout):
    """None when every test passes, else the name of a failing test. The stages run in turn
    and a failure ends the run, so that a mutant the quick tests kill costs little."""
    for tests in stages:
        regex = "^(" + "|".join(re.escape(t) for t in tests) + ")$"
        r = run(["ctest", "-R", regex, "-j2", "--timeout", str(timeout), "--stop-on-failure"],
                cwd=obj)
        if r.returncode != 0:
            failed = re.findall(r"\d+ - (\S+) \(", r.stdout)
            return failed[0] if failed else "(ctest %d)" % r.returncode
    return None


def quick_first(obj, tests, quick_seconds=1.0):
    """The tests in two stages, quick ones first, from the times of the last run."""
    costs = {}
    cost_file = obj / "Testing" / "Temporary" / "CTestCostData.txt"
    for line in cost_file.read_text().split("\n") if cost_file.exists() else []:
        parts = line.split()
        if len(parts) == 3:
            costs[parts[0]] = float(parts[2])
    quick = [t for t in tests if costs.get(t, 0.0) < quick_seconds]
    slow = [t for t in tests if t not in quick]
    return [stage for stage in (quick, slow) if stage]


def locate(copy_root, site):
    """The index of the site's line in its file, or None when the line is no longer there."""
    lines = (copy_root / site["file"]).read_text().split("\n")
    candidates = [i for i, line in enumerate(lines) if line == site["text"]]
    if not candidates:
        return None
    i = min(candidates, key=lambda i: abs(i + 1 - site["line"]))
    if lines[i][site["col"]:site["col"] + len(site["orig"])] != site["orig"]:
        return None
    return i


class Interrupted(Exception):
    pass


def on_signal(signum, frame):
    raise Interrupted()


def run_mutants(args):
    os.nice(10)
    build_root = (ROOT / args.build).resolve()
    copy_root, obj = build_root / "src", build_root / "obj"
    copy_root.mkdir(parents=True, exist_ok=True)
    sync_copy(copy_root, args.rev)
    sites = read_sample(args.mutants) if args.mutants else sample(all_sites(copy_root),
                                                                   args.count, args.seed)
    if args.max:
        sites = sites[:args.max]
    configure(copy_root, obj)
    tests, targets = library_tests(obj, args.exclude)
    print("tests: %s" % " ".join(tests), flush=True)
    started = time.time()
    if not build(obj, targets):
        sys.exit("the unmutated sources do not build in %s" % obj)
    failed = run_tests(obj, [tests], args.timeout)
    if failed:
        sys.exit("the unmutated sources fail %s: fix the suite first" % failed)
    print("unmutated build and tests: %.0f s" % (time.time() - started), flush=True)
    stages = quick_first(obj, tests)

    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, on_signal)
    results = open(args.results, "w") if args.results else None
    counts = {"killed": 0, "survived": 0, "stillborn": 0, "stale": 0}
    survivors = []
    started = time.time()
    try:
        for n, site in enumerate(sites, start=1):
            path = copy_root / site["file"]
            original = path.read_text()
            index = locate(copy_root, site)
            if index is None:
                outcome, detail = "stale", ""
            else:
                lines = original.split("\n")
                line = lines[index]
                lines[index] = line[:site["col"]] + site["repl"] + \
                    line[site["col"] + len(site["orig"]):]
                t0 = time.time()
                try:
                    path.write_text("\n".join(lines))
                    if not build(obj, targets):
                        outcome, detail = "stillborn", ""
                    else:
                        failed = run_tests(obj, stages, args.timeout)
                        outcome, detail = ("killed", failed) if failed else ("survived", "")
                finally:
                    path.write_text(original)
                detail = ("%s %.0fs" % (detail, time.time() - t0)).strip()
            counts[outcome] += 1
            if outcome == "survived":
                survivors.append(site)
            print("[%d/%d] %-9s %s  %s" % (n, len(sites), outcome, describe(site), detail),
                  flush=True)
            if results:
                results.write("%s\t%s\t%s\n" % (outcome, detail, describe(site)))
                results.flush()
    except Interrupted:
        print("interrupted: the copy is restored", flush=True)
    finally:
        if results:
            results.close()
    # Rebuild the restored copy so the next run starts from the unmutated objects.
    build(obj, targets)

    judged = counts["killed"] + counts["survived"]
    print("\nmutants: %d run, %d killed, %d survived, %d stillborn, %d stale; %.0f s" % (
        judged + counts["stillborn"], counts["killed"], counts["survived"], counts["stillborn"],
        counts["stale"], time.time() - started))
    if judged:
        print("kill rate: %.1f%% (%d of %d that compile)" % (100.0 * counts["killed"] / judged,
                                                            counts["killed"], judged))
    if survivors:
        print("survivors:")
        for s in survivors:
            print("  " + describe(s))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    for name in ("list", "run"):
        p = sub.add_parser(name)
        p.add_argument("--count", type=int, default=80, help="mutants in the sample")
        p.add_argument("--seed", type=int, default=0, help="offset of the first site")
    sub.choices["list"].add_argument("-o", "--output", help="sample file (default: stdout)")
    r = sub.choices["run"]
    r.add_argument("--mutants", help="sample file written by list")
    r.add_argument("--max", type=int, default=0, help="run only the first M mutants")
    r.add_argument("--build", default="build-mutate", help="build directory for the copy")
    r.add_argument("--timeout", type=int, default=45, help="seconds per test")
    r.add_argument("--exclude", default=DEFAULT_EXCLUDE, help="regex of tests not to run")
    r.add_argument("--results", help="write one row per mutant to this file")
    r.add_argument("--rev", help="mutate the files of this commit, not of the worktree")
    args = parser.parse_args()

    if args.command == "list":
        sites = all_sites(ROOT)
        chosen = sample(sites, args.count, args.seed)
        out = open(args.output, "w") if args.output else sys.stdout
        out.write("# %d of %d sites: tools/mutate.py list --count %d --seed %d\n" % (
            len(chosen), len(sites), args.count, args.seed))
        write_sample(chosen, out)
    else:
        run_mutants(args)


if __name__ == "__main__":
    main()
