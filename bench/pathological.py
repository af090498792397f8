#!/usr/bin/env python3
"""Pathological inputs: time and peak memory of xmlsweep at n and 2n.

For each case the script writes a document of size n and one of size 2n into
a temporary directory (removed at the end), runs BIN_DIR/xmlsweep in a
directory holding only that file under /usr/bin/time, and reports the CPU
time, user plus system (the best of the runs; CPU rather than wall time, as
the machine is shared), the peak resident size (the largest of the runs), the
peak per input byte, and the doubling ratios time(2n)/time(n) and
rss(2n)/rss(n). Linear growth gives ratios near 2, a quadratic case about 4.
Times under 0.05 s are too coarse for a ratio ("-").

usage: pathological.py [--quick] [--only NAME,...] [--repeat N] [BIN_DIR]
  BIN_DIR defaults to build/release; --quick uses sizes 16 times smaller.
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

MiB = 1 << 20
LETTERS = b'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyza'
assert len(LETTERS) == 79


def repeat_to(unit, size):
    """`unit` repeated to about `size` bytes (whole units)."""
    return unit * max(1, size // len(unit))


def in_root(body, tag=b'r', attrs=b''):
    return b'<' + tag + attrs + b'>' + body + b'</' + tag + b'>'


def nested(n):  # n levels
    return b'<a>' * n + b'x' + b'</a>' * n


def siblings(n):  # n children
    return in_root(b'<b/>' * n)


def amp79(size):  # "&" and 79 letters: a name too long for any entity
    return in_root(repeat_to(b'&' + LETTERS, size))


def comments(size):
    return in_root(repeat_to(b'<!-- c -->', size))


def lt_space(size):  # "< " opens markup skipped to the next ">", here the last one
    return in_root(repeat_to(b'< ', size) + b'>')


def cdata_markers(size):  # opening markers, one close at the very end
    return in_root(b'<![CDATA[' + repeat_to(b'<![CDATA[ ]]', size) + b']]>')


def cdata_unclosed(size):  # every marker unclosed: fails at the first
    return in_root(repeat_to(b'<![CDATA[', size))


def attributes(n):  # n attributes, nine of ten a case variant of an earlier name
    out = [b'<r']
    for i in range(n):
        base = b'attr%d' % (i // 10)
        if i % 10:
            base = bytes(c ^ 0x20 if c in LETTERS and (i >> k) & 1 else c for k, c in enumerate(base))
        out.append(b' %s="%d"' % (base, i))
    out.append(b'/>')
    return b''.join(out)


def raw_element(size):  # raw content full of near end tags; the end tag only at the end
    name = b'raw' + b'x' * 60
    near = b'</' + name[:-1] + b' </' + name + b' '
    return in_root(repeat_to(near, size), tag=name, attrs=b' cdata="true"')


def plain_text(size):
    return in_root(b'x' * size)


def plain_text_utf16(size):  # the UTF-16 path, in place
    text = '<?xml version="1.0" encoding="UTF-16"?><r>' + 'x' * (size // 2) + '</r>'
    return b'\xff\xfe' + text.encode('utf-16-le')


# name, generator, n, what n counts, whether the document passes
CASES = [
    ('nested', nested, 1_000_000, 'levels', True),
    ('siblings', siblings, 10_000_000, 'elements', True),
    ('amp79-1MiB', amp79, 1 * MiB, 'bytes', True),
    ('amp79', amp79, 32 * MiB, 'bytes', True),
    ('comments', comments, 32 * MiB, 'bytes', True),
    ('lt-space', lt_space, 32 * MiB, 'bytes', True),
    ('cdata-markers', cdata_markers, 32 * MiB, 'bytes', True),
    ('cdata-unclosed', cdata_unclosed, 32 * MiB, 'bytes', False),
    ('attributes', attributes, 100_000, 'attributes', True),
    ('attributes-1M', attributes, 1_000_000, 'attributes', True),
    ('raw-element', raw_element, 32 * MiB, 'bytes', True),
    ('plain-text', plain_text, 512 * MiB, 'bytes', True),
    ('plain-text-utf16', plain_text_utf16, 512 * MiB, 'bytes', True),
]


def run(exe, workdir):
    """CPU seconds (user + system), peak RSS in bytes and exit status of one
    run, as /usr/bin/time measures them: it runs xmlsweep as its own child,
    so the figures are xmlsweep's alone, not a copy of this interpreter."""
    report = workdir.parent / (workdir.name + '.time')
    status = subprocess.run(['/usr/bin/time', '-q', '-f', '%U %S %M', '-o', str(report), exe],
                            cwd=workdir, stdout=subprocess.DEVNULL, check=False).returncode
    user, system, kib = report.read_text().split()[-3:]
    report.unlink()
    return float(user) + float(system), int(kib) * 1024, status


def measure(exe, tmp, name, data, repeat):
    workdir = tmp / name
    workdir.mkdir()
    (workdir / 'doc.xml').write_bytes(data)
    del data
    best, rss, status = None, 0, None
    for _ in range(repeat):
        elapsed, peak, status = run(exe, workdir)
        best = elapsed if best is None else min(best, elapsed)
        rss = max(rss, peak)
    size = (workdir / 'doc.xml').stat().st_size
    shutil.rmtree(workdir)
    return best, rss, size, status


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('bin_dir', nargs='?', default='build/release')
    parser.add_argument('--quick', action='store_true')
    parser.add_argument('--only', default='')
    parser.add_argument('--repeat', type=int, default=3)
    args = parser.parse_args()
    exe = str(pathlib.Path(args.bin_dir, 'xmlsweep').resolve())
    if not os.access(exe, os.X_OK):
        sys.exit(f'no xmlsweep in {args.bin_dir}')
    only = set(filter(None, args.only.split(',')))
    scale = 16 if args.quick else 1

    print(f'{"case":17} {"n":>11} {"size":>11} {"cpu s":>8} {"peak MiB":>9} {"peak/B":>7}'
          f' {"t(2n)/t(n)":>10} {"m(2n)/m(n)":>10}')
    with tempfile.TemporaryDirectory(prefix='xmlsweep-pathological-') as tmpname:
        tmp = pathlib.Path(tmpname)
        for name, make, n, unit, passes in CASES:
            if only and name not in only:
                continue
            n = max(1, n // scale)
            results = []
            for k in (n, 2 * n):
                t, rss, size, status = measure(exe, tmp, f'{name}-{k}', make(k), args.repeat)
                if (status == 0) != passes:
                    print(f'{name} n={k}: unexpected exit status {status}', file=sys.stderr)
                results.append((k, t, rss, size))
            (n1, t1, m1, s1), (n2, t2, m2, s2) = results
            for k, t, m, s in results:
                ratios = ''
                if k == n2:
                    ratios = f' {t2 / t1:10.2f}' if t1 >= 0.05 else f' {"-":>10}'
                    ratios += f' {m2 / m1:10.2f}'
                print(f'{name:17} {k:11d} {s:11d} {t:8.3f} {m / MiB:9.1f} {m / s:7.2f}{ratios}', flush=True)


if __name__ == '__main__':
    main()
