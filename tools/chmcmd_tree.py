#!/usr/bin/env python3
"""Writes a source tree and a chmcmd project file listing it in shuffled order, so that the help
file chmcmd compiles stores its files in an order unrelated to their names.

usage: chmcmd_tree.py pages COUNT DIR   COUNT small HTML pages in nested folders, some with
                                         non-ASCII names
       chmcmd_tree.py streams MB DIR    two streams of text and two of random bytes, MB each
Then: (cd DIR && chmcmd project.hhp) writes DIR/../NAME.chm, NAME being DIR's own name."""
import os
import random
import sys

WORDS = ("help file page index topic section chapter example value reference function "
         "Übersicht größe café naïve façade 日本語 данные λόγος").split()


def text(rng, size):
    parts, length = [], 0
    while length < size:
        word = rng.choice(WORDS)
        parts.append(word)
        length += len(word.encode()) + 1
    return " ".join(parts).encode()[:size]


def pages(rng, count, root):
    names = []
    for i in range(count):
        folder = f"part{i % 7}/Kapitel_ü{i % 5}/sect{i % 11}"
        stem = ("página", "Seite", "стр", "page")[i % 4]
        names.append(f"{folder}/{stem}_{i}.html")
    for name in names:
        body = text(rng, rng.randint(300, 6000))
        write(root, name, b"<html><body><p>" + body + b"</p></body></html>\n")
    return names


def streams(rng, megabytes, root):
    names = []
    block = text(rng, 1 << 20)
    for i in range(2):
        names += [f"text{i}.txt", f"random{i}.bin"]
        with open(os.path.join(root, names[-2]), "wb") as out:
            for _ in range(megabytes):
                cut = rng.randrange(1 << 20)
                out.write(block[cut:] + block[:cut])
        with open(os.path.join(root, names[-1]), "wb") as out:
            for _ in range(megabytes):
                out.write(rng.randbytes(1 << 20))
    return names


def write(root, name, data):
    path = os.path.join(root, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("pages", "streams"):
        sys.exit(__doc__)
    kind, amount, root = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    rng = random.Random(10)
    os.makedirs(root, exist_ok=True)
    names = pages(rng, amount, root) if kind == "pages" else streams(rng, amount, root)
    write(root, "small.htm", b"<html><body>first page</body></html>\n")
    if "small.htm" not in names:
        names.append("small.htm")
    rng.shuffle(names)
    title = os.path.basename(os.path.normpath(root))
    with open(os.path.join(root, "project.hhp"), "w", encoding="utf-8") as hhp:
        hhp.write("[OPTIONS]\nCompatibility=1.1 or later\n"
                  f"Compiled file=../{title}.chm\nDefault topic=small.htm\n"
                  f"Language=0x409 English (United States)\nTitle={title}\n\n[FILES]\n")
        hhp.write("\n".join(names) + "\n")


if __name__ == "__main__":
    main()
