#!/usr/bin/env python3
"""Writes a reproducible tree for the scan benchmark.

  make-tree.py OUT [--seed N] [--scale F]     the mixed tree (about 1.3 GB at scale 1)
  make-tree.py OUT --entries N [--seed N]     N entries, mostly empty files, for memory figures
  make-tree.py OUT --entries N --small        N entries, files of 1 to 16 KB (8.5 KB on average)
  make-tree.py OUT --chain N [--side-by-side]  N folders nested one in the next (or N folders side
                                              by side), each holding one empty file: the scan of
                                              the chain should take about the time of the other

The mixed tree holds nested folders, exact duplicates of 1 KB to 50 MB, same-size files that
differ only in the first or the last byte, duplicate folders (some nested), duplicate packages,
empty files, hidden files and folders, symbolic links, unique files, copies under other names,
relative links in sibling folders, hard links, and a folder that copies a folder inside a
duplicate folder. The same seed and
scale always give the same tree. Nothing here is committed output: write it outside the
repository.
"""

import argparse
import os
import random
import shutil


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def sized(rng, low, high):
    """A size between low and high, spread evenly on a log scale."""
    return int(round(low * (high / low) ** rng.random()))


def random_folder(rng, base, depth):
    parts = [base] + ["d%d" % rng.randrange(6) for _ in range(rng.randrange(1, depth + 1))]
    return os.path.join(*parts)


def mixed_tree(out, rng, scale):
    def count(n):
        return max(1, int(n * scale))

    # Unique files, so that most sizes are met once and most folders hold something unique.
    for index in range(count(6000)):
        folder = random_folder(rng, os.path.join(out, "unique"), 4)
        write(os.path.join(folder, "u%05d.bin" % index), rng.randbytes(sized(rng, 100, 256 * 1024)))

    # Exact duplicates, 2 to 4 copies each, spread over the tree.
    for index in range(count(220)):
        data = rng.randbytes(sized(rng, 1000, 50 * 1000 * 1000 if index % 20 == 0 else 2 * 1000 * 1000))
        for copy in range(rng.randrange(2, 5)):
            folder = random_folder(rng, os.path.join(out, "dups"), 3)
            write(os.path.join(folder, "dup%04d-%d.dat" % (index, copy)), data)

    # Same size, differing only in the first or in the last byte: never duplicates.
    for index in range(count(150)):
        data = bytearray(rng.randbytes(sized(rng, 1000, 4 * 1000 * 1000)))
        where = 0 if index % 2 == 0 else len(data) - 1
        write(os.path.join(out, "near", "n%04d-a.dat" % index), bytes(data))
        data[where] ^= 0xFF
        write(os.path.join(out, "near", "n%04d-b.dat" % index), bytes(data))

    # Duplicate folders: a folder of files and a subfolder, copied whole.
    for index in range(count(30)):
        source = os.path.join(out, "projects", "p%03d" % index)
        for number in range(rng.randrange(3, 12)):
            write(os.path.join(source, "src", "f%02d.c" % number), rng.randbytes(sized(rng, 200, 64 * 1024)))
        write(os.path.join(source, "README"), rng.randbytes(sized(rng, 100, 4000)))
        for copy in range(1, rng.randrange(2, 4)):
            shutil.copytree(source, os.path.join(out, "backup%d" % copy, "p%03d" % index))

    # Duplicate packages: their contents never group on their own.
    for index in range(count(10)):
        source = os.path.join(out, "apps", "Tool%02d.app" % index)
        for number in range(5):
            write(os.path.join(source, "Contents", "part%d" % number), rng.randbytes(sized(rng, 1000, 200000)))
        shutil.copytree(source, os.path.join(out, "apps-copy", "Tool%02d.app" % index))

    # Empty files.
    for index in range(count(300)):
        write(os.path.join(random_folder(rng, os.path.join(out, "empty"), 2), "e%04d" % index), b"")

    # Hidden files and folders, some equal to each other.
    for index in range(count(120)):
        data = rng.randbytes(sized(rng, 100, 100000))
        write(os.path.join(random_folder(rng, os.path.join(out, "hidden"), 2), ".h%04d" % index), data)
        write(os.path.join(out, "hidden", ".cache", "c%04d" % index), data)

    # Symbolic links to files, to folders and dangling.
    targets = ["../dups", "u00001.bin", "missing", "/tmp"]
    for index in range(count(60)):
        link = os.path.join(out, "links", "l%03d" % index)
        os.makedirs(os.path.dirname(link), exist_ok=True)
        os.symlink(targets[index % len(targets)], link)

    # Copies under other names: the files are copies, their folders are not.
    for index in range(count(20)):
        base = os.path.join(out, "renamed", "r%03d" % index)
        x = rng.randbytes(sized(rng, 1000, 100000))
        y = rng.randbytes(sized(rng, 1000, 100000))
        write(os.path.join(base, "a", "x"), x)
        write(os.path.join(base, "b", "y"), x)
        for folder, names in (("c", ("p", "q")), ("d", ("q", "r"))):
            write(os.path.join(base, folder, names[0]), x)
            write(os.path.join(base, folder, names[1]), y)

    # Relative links in sibling folders: the same text naming other files, so the folders are not
    # copies; and links from two folders that name one place, so those folders are.
    for index in range(count(20)):
        base = os.path.join(out, "locales", "l%03d" % index)
        common = rng.randbytes(sized(rng, 1000, 50000))
        for language in ("de", "fr"):
            write(os.path.join(base, language, "LC_MESSAGES", "m"), rng.randbytes(sized(rng, 1000, 50000)))
            write(os.path.join(base, language, "LC_TIME", "common"), common)
            os.symlink("../LC_MESSAGES/m", os.path.join(base, language, "LC_TIME", "m"))
        shared = rng.randbytes(sized(rng, 1000, 50000))
        for side in ("one", "two"):
            write(os.path.join(base, "same", side, "f"), shared)
            os.symlink("../target", os.path.join(base, "same", side, "relative"))
            os.symlink("/usr/share/zoneinfo", os.path.join(base, "same", side, "absolute"))

    # Hard links: names of one file, alone or beside a real copy.
    for index in range(count(30)):
        base = os.path.join(out, "hardlinks", "h%03d" % index)
        data = rng.randbytes(sized(rng, 1000, 1000 * 1000))
        write(os.path.join(base, "original"), data)
        os.link(os.path.join(base, "original"), os.path.join(base, "second-name"))
        if index % 2 == 0:
            write(os.path.join(base, "copy", "original"), data)

    # A folder that copies a folder inside a duplicate folder, and a file of it copied elsewhere:
    # A1 and A2 are copies, B/c copies A1/c, and D/d/bn copies B/c/bn.
    for index in range(count(15)):
        base = os.path.join(out, "nested", "n%03d" % index)
        inner = {name: rng.randbytes(sized(rng, 1000, 100000)) for name in ("bn", "cx")}
        for folder in ("A1/c", "A2/c", "B/c"):
            for name, data in inner.items():
                write(os.path.join(base, folder, name), data)
        write(os.path.join(base, "B", "b-only"), rng.randbytes(sized(rng, 1000, 100000)))
        write(os.path.join(base, "D", "d", "bn"), inner["bn"])
        write(os.path.join(base, "D", "d", "d-only"), rng.randbytes(sized(rng, 1000, 100000)))


def small_content(rng, pool, made):
    """Content of 1 to 16 KB for the made-th small file, cut from the random pool: sizes spread
    evenly, so that each size is shared by about N / 15,000 files; one file in ten copies an
    earlier one, and one in twenty is an earlier one with its first or last byte changed."""
    kind = made % 20
    if kind in (3, 13) and made > 20:
        return small_content(rng, pool, made - 1 - rng.randrange(min(made - 1, 1000)))
    size = 1024 + (made * 7919) % (15 * 1024 + 1)
    start = (made * 104729) % (len(pool) - size)
    data = pool[start:start + size]
    if kind == 7 and made > 20:
        data = bytearray(small_content(rng, pool, made - 1 - rng.randrange(min(made - 1, 1000))))
        where = 0 if made % 40 < 20 else len(data) - 1
        data[where] ^= 0xFF
        data = bytes(data)
    return data


def entries_tree(out, rng, entries, small):
    """entries items: folders of 100 entries each (99 files and the folder itself); the files
    empty, or small and varied with small."""
    # Cut from one random pool, so that writing a million files takes minutes, not hours.
    pool = rng.randbytes(64 * 1024 * 1024) if small else b""
    made = 0
    folder_index = 0
    while made < entries:
        folder = os.path.join(out, "f%03d" % (folder_index // 100), "g%05d" % folder_index)
        os.makedirs(folder, exist_ok=True)
        made += 1
        for number in range(min(99, entries - made)):
            # Names of the length people use; without small, the disk holds only inodes.
            with open(os.path.join(folder, "photo-%05d-%02d.jpg" % (folder_index, number)), "wb") as out_file:
                if small:
                    out_file.write(small_content(rng, pool, made))
            made += 1
        folder_index += 1


def folders_tree(out, count, nested):
    """count folders named "d", each in the one before (or "dNNNNN" side by side), with a file
    "f" each. Made with relative paths, since the chain's paths soon pass the system's limit."""
    os.makedirs(out)
    start = os.getcwd()
    os.chdir(out)
    try:
        for index in range(count):
            folder = "d" if nested else "d%05d" % index
            os.mkdir(folder)
            open(os.path.join(folder, "f"), "wb").close()
            if nested:
                os.chdir(folder)
    finally:
        os.chdir(start)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--entries", type=int, default=0)
    parser.add_argument("--small", action="store_true")
    parser.add_argument("--chain", type=int, default=0)
    parser.add_argument("--side-by-side", action="store_true")
    arguments = parser.parse_args()
    if os.path.exists(arguments.out):
        parser.error("%s exists; remove it first" % arguments.out)
    rng = random.Random(arguments.seed)
    if arguments.chain:
        folders_tree(arguments.out, arguments.chain, not arguments.side_by_side)
    elif arguments.entries:
        entries_tree(arguments.out, rng, arguments.entries, arguments.small)
    else:
        mixed_tree(arguments.out, rng, arguments.scale)


if __name__ == "__main__":
    main()
