#!/usr/bin/env python3
"""Builds the benchmark corpus in DEST: copies of text trees of this machine plus generated
files that stress the odd cases (a 50 MB file, one 5 MB line, CR LF, NUL bytes, thousands of
tiny files, a deep folder chain). Deterministic: sorted walks and a fixed pseudo-random
sequence, so two builds on one machine give the same bytes.

  make_corpus.py DEST               the corpus
  make_corpus.py --big FILE SOURCE  one 1 GiB file of the text below SOURCE (a corpus), whose
                                    only line holding NEEDLE is its last
  make_corpus.py --tiny DEST        200,000 tiny files, one in fifty holding "unsigned long"
"""

import os
import shutil
import sys

# Source trees copied as they are (regular files only, symbolic links to files dereferenced,
# links to folders skipped so nothing is copied twice).
SOURCES = [
    ("/usr/include", "system/include"),
    ("/usr/share/doc", "system/doc"),
    ("/usr/share/cmake-3.25", "system/share/cmake"),
    ("/usr/share/perl", "system/share/perl"),
    ("/usr/share/vim", "system/share/vim"),
    ("/usr/share/i18n", "system/share/i18n"),
    ("/usr/share/mime", "system/share/mime"),
]
COPY_BUDGET = 420 * 1024 * 1024  # the copies stop here; the whole corpus stays under 600 MB

WORDS = (
    "alpha beta gamma delta signal buffer queue thread socket parser token window layout "
    "widget render pixel vector matrix kernel module driver packet stream cursor record "
    "column index table schema query filter branch commit merge rebase remote origin "
    "config option value default global local static extern inline struct union enum "
    "return switch case break continue while for goto label error warning notice debug "
    "trace level limit bound range offset length width height depth margin border "
    "foo bar baz qux quux corge grault garply waldo fred plugh xyzzy thud"
).split()

NEEDLE = b"zqxjvelmoralastline"
BIG_SIZE = 1 << 30
TINY_FOLDERS, TINY_SUBFOLDERS, TINY_FILES = 20, 10, 1000


class Random:
    """xorshift64*: the same sequence on every machine and every Python."""

    def __init__(self, seed):
        self.state = seed or 1

    def next(self):
        x = self.state
        x ^= (x >> 12)
        x ^= (x << 25) & 0xFFFFFFFFFFFFFFFF
        x ^= (x >> 27)
        self.state = x
        return (x * 0x2545F4914F6CDD1D) & 0xFFFFFFFFFFFFFFFF

    def below(self, n):
        return self.next() % n


def text_line(rng, words):
    parts = []
    for _ in range(words):
        r = rng.below(1000)
        if r < 8:
            parts.append("%d-%d" % (rng.below(10000), rng.below(10000)))
        elif r < 10:
            parts.append(("foo", "bar")[rng.below(2)] + "baz")
        else:
            parts.append(WORDS[rng.below(len(WORDS))])
    return " ".join(parts)


def copy_sources(dest):
    total = 0
    for source, target in SOURCES:
        for folder, dirs, files in os.walk(source):
            dirs.sort()
            rel = os.path.relpath(folder, source)
            for name in sorted(files):
                src = os.path.join(folder, name)
                if not os.path.isfile(src):
                    continue
                try:
                    size = os.path.getsize(src)
                except OSError:
                    continue
                if total + size > COPY_BUDGET:
                    return total
                out_dir = os.path.normpath(os.path.join(dest, target, rel))
                os.makedirs(out_dir, exist_ok=True)
                try:
                    shutil.copyfile(src, os.path.join(out_dir, name))
                except OSError:
                    continue
                total += size
    return total


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def generate(dest):
    rng = Random(0x5EED)
    gen = os.path.join(dest, "gen")

    # 50 MB of mostly short lines with long ones mixed in.
    lines, size = [], 0
    while size < 50 * 1024 * 1024:
        r = rng.below(100)
        n = 200 + rng.below(2000) if r == 0 else (40 + rng.below(200) if r < 5 else 1 + rng.below(14))
        line = text_line(rng, n)
        lines.append(line)
        size += len(line) + 1
    write(os.path.join(gen, "big", "fifty-megabytes.txt"), ("\n".join(lines) + "\n").encode())

    # One line of 5 MB, no break at all.
    words, size = [], 0
    while size < 5 * 1024 * 1024:
        w = WORDS[rng.below(len(WORDS))]
        words.append(w)
        size += len(w) + 1
    write(os.path.join(gen, "oneline", "one-line.txt"), " ".join(words).encode())

    # CR LF text files.
    for i in range(300):
        body = "\r\n".join(text_line(rng, 3 + rng.below(12)) for _ in range(50 + rng.below(300)))
        write(os.path.join(gen, "crlf", "crlf-%03d.txt" % i), (body + "\r\n").encode())

    # Text with a NUL byte in the middle; the words after it are not searched by Velmora.
    for i in range(200):
        head = "\n".join(text_line(rng, 8) for _ in range(20 + rng.below(40)))
        tail = "\n".join(text_line(rng, 8) for _ in range(20 + rng.below(40)))
        write(os.path.join(gen, "nul", "nul-%03d.dat" % i), (head + "\n\0" + tail + "\n").encode())

    # A few thousand tiny files in 40 folders.
    for i in range(4000):
        write(os.path.join(gen, "tiny", "d%02d" % (i % 40), "t%04d.txt" % i),
              (text_line(rng, 1 + rng.below(6)) + "\n").encode())

    # A deep chain of folders, one small file at each level.
    folder = os.path.join(gen, "deep")
    for level in range(80):
        folder = os.path.join(folder, "level%02d" % level)
        write(os.path.join(folder, "note.txt"), (text_line(rng, 12) + "\n").encode())


def text_files(source):
    """The contents of the regular files below SOURCE in sorted order, leaving out empty files,
    binary ones (a NUL byte) and any that hold the needle."""
    for folder, dirs, files in os.walk(source):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            with open(path, "rb") as f:
                data = f.read()
            if data and b"\0" not in data and NEEDLE not in data:
                yield data if data.endswith(b"\n") else data + b"\n"


def make_big(path, source):
    last = b"the needle " + NEEDLE + b" sits here\n"
    room = BIG_SIZE - len(last)
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    part = path + ".part"
    written = 0
    with open(part, "wb") as out:
        while room - written > 4096:
            before = written
            for data in text_files(source):
                if len(data) > room - written:
                    # Whole lines only, so the needle's line stays a line of its own.
                    data = data[: data.rfind(b"\n", 0, room - written) + 1]
                out.write(data)
                written += len(data)
                if room - written <= 4096:
                    break
            if written == before:
                sys.exit("no text files below " + source)
        out.write(last)
    os.replace(part, path)
    print("big: %d bytes in %s" % (written + len(last), path))


def make_tiny(dest):
    rng = Random(0x71A7)
    part = dest + ".part"
    if os.path.exists(part):
        shutil.rmtree(part)
    index = 0
    for d in range(TINY_FOLDERS):
        for s in range(TINY_SUBFOLDERS):
            folder = os.path.join(part, "d%02d" % d, "s%d" % s)
            os.makedirs(folder)
            for _ in range(TINY_FILES):
                lines = [text_line(rng, 1 + rng.below(8)) for _ in range(1 + rng.below(3))]
                if rng.below(50) == 0:
                    lines.insert(rng.below(len(lines) + 1), "unsigned long " + lines[0])
                with open(os.path.join(folder, "f%06d.txt" % index), "w") as f:
                    f.write("\n".join(lines) + "\n")
                index += 1
    if os.path.exists(dest):
        shutil.rmtree(dest)
    os.replace(part, dest)
    print("tiny: %d files in %s" % (index, dest))


def make_corpus(dest):
    if os.path.exists(dest):
        shutil.rmtree(dest)
    os.makedirs(dest)
    copied = copy_sources(dest)
    generate(dest)
    print("corpus: %d MB copied from this machine, plus generated files" % (copied >> 20))


def main():
    args = sys.argv[1:]
    if len(args) == 3 and args[0] == "--big":
        make_big(args[1], args[2])
    elif len(args) == 2 and args[0] == "--tiny":
        make_tiny(args[1])
    elif len(args) == 1 and not args[0].startswith("-"):
        make_corpus(args[0])
    else:
        sys.exit("usage: make_corpus.py DEST | --big FILE SOURCE | --tiny DEST")


if __name__ == "__main__":
    main()
