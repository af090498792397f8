#!/usr/bin/env python3
"""Times xmlsweep side by side with its peers on the benchmark corpora.

Usage: run.py CORPUS_DIR [--runs N] [--bin DIR] [--no-callgrind] [--only NAME,...]

CORPUS_DIR is what gen_corpus.py wrote. --bin is the build directory of the
`bench` preset (default build/bench), holding xmlsweep, xmlsweep-floor and
pugi-check. For every corpus each program runs once to warm the page cache,
then N times (default 5); the table gives the median wall time, the
throughput, the largest peak resident memory and xmlsweep's speed relative to
each program. Then, unless --no-callgrind, instructions per input byte on the
big file for xmlsweep and the pugixml checker, counted by callgrind.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def run_once(argv, cwd):
    """Wall seconds, peak resident bytes and exit status of one run.

    The peak comes from GNU time: the resident size that wait4 reports for a
    child of this script would include the Python process it was forked from.
    """
    with tempfile.NamedTemporaryFile("r") as report:
        start = time.perf_counter()
        r = subprocess.run(["/usr/bin/time", "-q", "-f", "%M %x", "-o", report.name] + argv,
                           cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wall = time.perf_counter() - start
        fields = report.read().split()
    peak_kb, status = (int(fields[-2]), int(fields[-1])) if len(fields) >= 2 else (0, r.returncode)
    return wall, peak_kb * 1024, status


def corpus_bytes(path):
    if os.path.isfile(path):
        return os.path.getsize(path)
    total = 0
    for d, _, files in os.walk(path):
        total += sum(os.path.getsize(os.path.join(d, f)) for f in files if ".xml" in f or ".html" in f)
    return total


def programs(corpus, name, bins):
    """(label, argv, cwd) for every program on one corpus."""
    d = os.path.join(corpus, name)
    files = [f for f in os.listdir(d) if f.endswith(".xml")]
    tree = name == "tree"
    target = "." if tree else files[0]
    out = [("xmlsweep", [bins["xmlsweep"]], d), ("floor", [bins["floor"]], d)]
    if bins.get("pugi"):
        out.append(("pugixml", [bins["pugi"], target], d))
    many = "find . -name '*.xml' -print0 | xargs -0 "
    if shutil.which("xmlwf"):
        out.append(("xmlwf", ["sh", "-c", many + "xmlwf"] if tree else ["xmlwf", target], d))
    if shutil.which("xmllint"):
        out.append(("xmllint", ["sh", "-c", many + "xmllint --noout"] if tree else ["xmllint", "--noout", target], d))
    return out


def callgrind_instructions(argv, cwd):
    if not shutil.which("valgrind"):
        return None
    r = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + argv,
                       cwd=cwd, capture_output=True, text=True)
    m = re.search(r"Collected : (\d+)", r.stderr)
    return int(m.group(1)) if m else None


def main(argv):
    args = [a for a in argv[1:]]
    runs, bin_dir, callgrind, only = 5, os.path.join(HERE, "..", "build", "bench"), True, None
    positional = []
    i = 0
    while i < len(args):
        a = args[i]
        if a == "--runs":
            runs, i = int(args[i + 1]), i + 1
        elif a == "--bin":
            bin_dir, i = args[i + 1], i + 1
        elif a == "--only":
            only, i = args[i + 1].split(","), i + 1
        elif a == "--no-callgrind":
            callgrind = False
        else:
            positional.append(a)
        i += 1
    if len(positional) != 1:
        sys.stderr.write(__doc__)
        return 2
    corpus = os.path.abspath(positional[0])
    bin_dir = os.path.abspath(bin_dir)
    bins = {"xmlsweep": os.path.join(bin_dir, "xmlsweep"), "floor": os.path.join(bin_dir, "bench", "xmlsweep-floor")}
    pugi = os.path.join(bin_dir, "bench", "pugi-check")
    if os.access(pugi, os.X_OK):
        bins["pugi"] = pugi

    medians = {}
    print("%-6s %-9s %9s %9s %10s %9s" % ("corpus", "program", "median s", "MB/s", "peak MB", "xmlsweep x"))
    for name in ("big", "big16", "attrs", "text", "tree"):
        if only and name not in only or not os.path.isdir(os.path.join(corpus, name)):
            continue
        size = corpus_bytes(os.path.join(corpus, name))
        rows = []
        for label, command, cwd in programs(corpus, name, bins):
            run_once(command, cwd)  # warm-up
            samples = [run_once(command, cwd) for _ in range(runs)]
            wall = statistics.median(s[0] for s in samples)
            peak = max(s[1] for s in samples)
            if samples[0][2] != 0:
                print("  note: %s exited with %d on %s" % (label, samples[0][2], name))
            rows.append((label, wall, peak))
            medians[(name, label)] = wall
        base = medians[(name, "xmlsweep")]
        for label, wall, peak in rows:
            print("%-6s %-9s %9.3f %9.1f %10.1f %9.2f" % (name, label, wall, size / wall / 1e6, peak / 1e6, wall / base))
    print("(xmlsweep x: how many times faster xmlsweep is than the program; median of %d runs)" % runs)

    def ratio(corpus_name, label):
        a, b = medians.get((corpus_name, label)), medians.get((corpus_name, "xmlsweep"))
        return a / b if a and b else None

    print("\ntargets:")
    checks = [("big: xmlsweep >= 2x pugixml", ratio("big", "pugixml"), 2.0),
              ("big: xmlsweep >= 5x xmlwf", ratio("big", "xmlwf"), 5.0)]
    if ("big16", "xmlsweep") in medians and ("big", "xmlsweep") in medians:
        b8 = corpus_bytes(os.path.join(corpus, "big")) / medians[("big", "xmlsweep")]
        b16 = corpus_bytes(os.path.join(corpus, "big16")) / medians[("big16", "xmlsweep")]
        checks.append(("big16: bytes/s >= big's", b16 / b8, 1.0))
    if ("tree", "floor") in medians:
        checks.append(("tree: wall <= 1.3x floor's", medians[("tree", "floor")] * 1.3 / medians[("tree", "xmlsweep")], 1.0))
    for label, value, need in checks:
        if value is not None:
            print("  %-32s %6.2f (need %.2f) %s" % (label, value, need, "met" if value >= need else "NOT met"))

    if callgrind and os.path.isdir(os.path.join(corpus, "big")):
        d = os.path.join(corpus, "big")
        size = corpus_bytes(d)
        print("\ninstructions per input byte on big (callgrind):")
        per = {}
        for label, command in (("xmlsweep", [bins["xmlsweep"]]), ("pugixml", [bins.get("pugi"), "big.xml"])):
            if command[0]:
                n = callgrind_instructions(command, d)
                if n:
                    per[label] = n / size
                    print("  %-9s %6.2f" % (label, per[label]))
        if len(per) == 2:
            print("  %-32s %s" % ("fewer than pugixml:", "met" if per["xmlsweep"] < per["pugixml"] else "NOT met"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
