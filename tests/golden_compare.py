#!/usr/bin/env python3
"""Runs xmlsweep and xmlsweep-tree over a copy of a golden-style tree and compares.

Usage: golden_compare.py GOLDEN_DIR BIN_DIR

GOLDEN_DIR holds docs/ (the tree), expected-result.txt (result.txt of a run in
docs/, with each directory path written as {ROOT} plus the part below docs/),
expected-status (the exit status) and trees.jsonl (per file: path, status,
stderr and the JSON lines xmlsweep-tree prints). Prints each difference and
the number of mismatches; exits 1 on any.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile


def compare_report(golden, sweep, run):
    out = []
    result = subprocess.run([sweep], cwd=run, capture_output=True, timeout=600)
    with open(os.path.join(golden, "expected-result.txt"), "rb") as f:
        want = f.read().replace(b"{ROOT}", os.fsencode(run))
    with open(os.path.join(golden, "expected-status")) as f:
        want_status = int(f.read())
    with open(os.path.join(run, "result.txt"), "rb") as f:
        got = f.read()
    if result.returncode != want_status:
        out.append("exit status %d, expected %d" % (result.returncode, want_status))
    if got != want:
        got_lines, want_lines = got.split(b"\n"), want.split(b"\n")
        for i, (g, w) in enumerate(zip(got_lines, want_lines)):
            if g != w:
                out.append("result.txt line %d: %r, expected %r" % (i + 1, g, w))
                break
        if len(got_lines) != len(want_lines):
            out.append("result.txt has %d lines, expected %d" % (len(got_lines), len(want_lines)))
    return out


def compare_trees(golden, tree, run):
    out = []
    with open(os.path.join(golden, "trees.jsonl")) as f:
        rows = [json.loads(line) for line in f]
    for row in rows:
        where, name = os.path.split(os.path.join(run, row["path"]))
        r = subprocess.run([tree, name], cwd=where, capture_output=True, timeout=120)
        lines = [json.loads(l) for l in r.stdout.decode("ascii").splitlines()]
        err = r.stderr.decode("utf-8", "backslashreplace")
        if (r.returncode, err, lines) != (row["status"], row["stderr"], row["lines"]):
            out.append("%s: status %d, stderr %r; expected %d, %r%s" % (
                row["path"], r.returncode, err, row["status"], row["stderr"],
                "" if lines == row["lines"] else " (trees differ)"))
    return out, len(rows)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    golden, bin_dir = (os.path.abspath(a) for a in argv[1:])
    work = os.path.realpath(tempfile.mkdtemp(prefix="xmlsweep-golden-"))
    try:
        run = os.path.join(work, "docs")
        shutil.copytree(os.path.join(golden, "docs"), run, symlinks=True)
        stale = os.path.join(run, "result.txt")
        if os.path.exists(stale):
            os.remove(stale)
        problems = compare_report(golden, os.path.join(bin_dir, "xmlsweep"), run)
        tree_problems, count = compare_trees(golden, os.path.join(bin_dir, "xmlsweep-tree"), run)
        problems += tree_problems
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for p in problems:
        print(p)
    print("report and %d tree dumps compared: %d mismatches" % (count, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
