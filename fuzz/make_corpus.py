#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus into OUT_DIR (created if missing).

Seeds are the files of examples/ and every string literal of the test tables
in tests/*.cpp that holds markup ("<" or "&"), adjacent literals joined as the
compiler joins them. Each seed also goes in as UTF-16, little- and big-endian,
with the byte-order mark and a declaration that selects the UTF-16 path. File
names are the seed's SHA-1, so running the script again changes nothing.

usage: make_corpus.py OUT_DIR
"""
import hashlib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DECLARATION = '<?xml version="1.0" encoding="UTF-16"?>'

# One literal: an optional u / u8 / L prefix, then the quoted text.
LITERAL = re.compile(r'(?<![A-Za-z0-9_])(u8|u|L)?"((?:[^"\\\n]|\\.)*)"')
WHITESPACE = re.compile(r'\s*')
SIMPLE_ESCAPES = {'n': '\n', 'r': '\r', 't': '\t', 'a': '\a', 'b': '\b', 'f': '\f',
                  'v': '\v', '\\': '\\', '"': '"', "'": "'", '?': '?'}


def decode_literal(body):
    """The characters of a C++ literal's body (the escapes decoded)."""
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c != '\\':
            out.append(c)
            i += 1
            continue
        e = body[i + 1]
        if e in SIMPLE_ESCAPES:
            out.append(SIMPLE_ESCAPES[e])
            i += 2
        elif e == 'x':
            m = re.match(r'[0-9A-Fa-f]+', body[i + 2:])
            out.append(chr(int(m.group(0), 16)))
            i += 2 + len(m.group(0))
        elif e in 'uU':
            n = 4 if e == 'u' else 8
            out.append(chr(int(body[i + 2:i + 2 + n], 16)))
            i += 2 + n
        elif e in '01234567':
            m = re.match(r'[0-7]{1,3}', body[i + 1:])
            out.append(chr(int(m.group(0), 8)))
            i += 1 + len(m.group(0))
        else:
            out.append(e)
            i += 2
    return ''.join(out)


def literals(source):
    """Every string literal of a C++ source, adjacent ones joined. Narrow
    literals give bytes (\\xHH is one byte); wide ones give text."""
    pos = 0
    while True:
        m = LITERAL.search(source, pos)
        if not m:
            return
        prefix = m.group(1) or ''
        parts = [decode_literal(m.group(2))]
        pos = m.end()
        while True:
            n = LITERAL.match(source, WHITESPACE.match(source, pos).end())
            if not n:
                break
            parts.append(decode_literal(n.group(2)))
            pos = n.end()
        text = ''.join(parts)
        if prefix in ('u', 'L'):
            yield text.encode('utf-8', 'surrogatepass'), text
        else:
            data = bytes(ord(ch) & 0xFF for ch in text)
            yield data, data.decode('utf-8', 'replace')


def utf16_twins(text):
    body = DECLARATION + text
    yield '\ufeff'.encode('utf-16-le') + body.encode('utf-16-le', 'surrogatepass')
    yield '\ufeff'.encode('utf-16-be') + body.encode('utf-16-be', 'surrogatepass')


def seeds():
    for path in sorted((ROOT / 'examples').rglob('*')):
        if path.is_file():
            data = path.read_bytes()
            yield data
            yield from utf16_twins(data.decode('utf-8', 'replace'))
    for path in sorted((ROOT / 'tests').glob('*.cpp')):
        for data, text in literals(path.read_text(encoding='utf-8')):
            if b'<' in data or b'&' in data:
                yield data
                yield from utf16_twins(text)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    names = set()
    for data in seeds():
        name = hashlib.sha1(data).hexdigest()
        if name not in names:
            names.add(name)
            (out / name).write_bytes(data)
    print(f'{len(names)} seeds in {out}')


if __name__ == '__main__':
    main()
