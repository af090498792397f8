#!/usr/bin/env python3
"""Writes the benchmark corpora, deterministically, into OUT_DIR.

Usage: gen_corpus.py OUT_DIR [--scale F]

  big/big.xml        about 200 MB of 8-bit (ASCII and UTF-8) XML: nesting 5 to 10
                     deep, attributes in both quote styles, text with named and
                     decimal references, comments and CDATA sections
  big16/big16.xml    the same document as UTF-16 LE with byte-order mark and
                     a declaration naming "UTF-16"
  tree/              50,000 files of 1 to 4 KB in 500 directories
  attrs/attrs.xml    about 20 MB, attribute-heavy
  text/text.xml      about 20 MB, text-heavy

--scale shrinks or grows every size (0.01 for a quick try). Every document
is well-formed for xmlsweep: it passes with an empty report.
"""
import os
import random
import sys

WORDS = ("alpha beta gamma delta order item price total name value config server "
         "port host user group role access level quota limit cache entry record "
         "field index table column schema version release build target module "
         "caf\u00e9 na\u00efve r\u00e9sum\u00e9 \u00fcber stra\u00dfe").split()
TAGS = ("record entry item node field group section part unit block row cell "
        "meta info data property setting option param element").split()
ATTRS = "id name type class ref key lang status kind mode unit scale".split()
# Only references every peer accepts without a DTD (no HTML entities), so
# that each program reads the whole document.
ENTITIES = ("&amp;", "&lt;", "&gt;", "&quot;", "&#65;", "&#233;", "&#8364;", "&#10;")


class Gen:
    def __init__(self, seed):
        self.r = random.Random(seed)

    def words(self, lo, hi):
        r = self.r
        return " ".join(r.choice(WORDS) for _ in range(r.randint(lo, hi)))

    def text(self, lo, hi, refs=0.15):
        r = self.r
        parts = []
        for _ in range(r.randint(lo, hi)):
            parts.append(r.choice(WORDS))
            if r.random() < refs:
                parts.append(r.choice(ENTITIES))
        return " ".join(parts)

    def attrs(self, lo, hi):
        r = self.r
        out = []
        for name in r.sample(ATTRS, r.randint(lo, hi)):
            value = self.words(1, 3) if r.random() < 0.3 else "%s%d" % (name[0], r.randint(0, 99999))
            q = '"' if r.random() < 0.5 else "'"
            out.append(" %s=%s%s%s" % (name, q, value, q))
        return "".join(out)

    def leaf(self, indent, text_lo=2, text_hi=12):
        r = self.r
        tag = r.choice(TAGS)
        roll = r.random()
        if roll < 0.1:
            body = "<![CDATA[%s <raw> & %s]]>" % (self.words(2, 8), self.words(1, 4))
        elif roll < 0.2:
            return "%s<%s%s/>\n" % (indent, tag, self.attrs(1, 4))
        else:
            body = self.text(text_lo, text_hi)
        return "%s<%s%s>%s</%s>\n" % (indent, tag, self.attrs(0, 3), body, tag)

    def subtree(self, depth, max_depth, out):
        r = self.r
        indent = "  " * depth
        if depth >= max_depth:
            out.append(self.leaf(indent))
            return
        tag = r.choice(TAGS)
        out.append("%s<%s%s>\n" % (indent, tag, self.attrs(0, 3)))
        if r.random() < 0.15:
            out.append("%s  <!-- %s -->\n" % (indent, self.words(3, 10)))
        for _ in range(r.randint(1, 3)):
            if r.random() < 0.6:
                self.subtree(depth + 1, max_depth, out)
            else:
                out.append(self.leaf(indent + "  "))
        out.append("%s</%s>\n" % (indent, tag))


def records(gen, count, make):
    pool = []
    for _ in range(count):
        out = []
        make(out)
        pool.append("".join(out))
    return pool


def write_document(path, target, pool, rng, encoding="utf-8", declaration=None):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    head = (declaration or '<?xml version="1.0" encoding="UTF-8"?>') + "\n<!-- generated benchmark corpus -->\n<corpus>\n"
    with open(path, "wb") as f:
        if encoding == "utf-16-le":
            f.write(b"\xff\xfe")
        f.write(head.encode(encoding))
        written = 0
        chunk = []
        while written < target:
            rec = pool[rng.randrange(len(pool))]
            chunk.append(rec)
            written += len(rec) * (2 if encoding == "utf-16-le" else 1)
            if len(chunk) >= 2000:
                f.write("".join(chunk).encode(encoding))
                chunk = []
        f.write(("".join(chunk) + "</corpus>\n").encode(encoding))


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    scale = 1.0
    if "--scale" in argv:
        scale = float(argv[argv.index("--scale") + 1])
        args = [a for a in args if a != argv[argv.index("--scale") + 1]]
    if len(args) != 1:
        sys.stderr.write(__doc__)
        return 2
    out = args[0]
    mb = 1_000_000

    g = Gen(1)
    pool = records(g, 4000, lambda o: g.subtree(1, g.r.randint(4, 9), o))
    write_document(os.path.join(out, "big", "big.xml"), int(200 * mb * scale), pool, random.Random(2))
    write_document(os.path.join(out, "big16", "big16.xml"), int(400 * mb * scale), pool, random.Random(2),
                   encoding="utf-16-le", declaration='<?xml version="1.0" encoding="UTF-16"?>')

    ga = Gen(3)
    pool_a = records(ga, 3000, lambda o: o.append("  <%s%s%s/>\n" % (ga.r.choice(TAGS), ga.attrs(6, 12), ga.attrs(0, 0))))
    write_document(os.path.join(out, "attrs", "attrs.xml"), int(20 * mb * scale), pool_a, random.Random(4))

    gt = Gen(5)
    pool_t = records(gt, 3000, lambda o: o.append("  <p>%s</p>\n" % gt.text(40, 200, refs=0.05)))
    write_document(os.path.join(out, "text", "text.xml"), int(20 * mb * scale), pool_t, random.Random(6))

    gs = Gen(7)
    files = max(1, int(50_000 * scale))
    dirs = max(1, int(500 * scale))
    for i in range(files):
        d = os.path.join(out, "tree", "d%03d" % (i % dirs))
        os.makedirs(d, exist_ok=True)
        size = gs.r.randint(1000, 4000)
        body = ['<?xml version="1.0"?>\n<doc>\n']
        n = len(body[0])
        while n < size:
            part = []
            gs.subtree(1, gs.r.randint(2, 5), part)
            s = "".join(part)
            body.append(s)
            n += len(s.encode("utf-8"))
        body.append("</doc>\n")
        with open(os.path.join(d, "f%05d.xml" % i), "wb") as f:
            f.write("".join(body).encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
