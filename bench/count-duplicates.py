#!/usr/bin/env python3
"""count-duplicates.py [--min-size BYTES] ROOT...

An independent count of the duplicate groups that a scan should find: it reads and hashes
every file, and applies the scan's rules of what may be offered, not its code:
  - hidden entries are never looked at, and a folder that holds one is not comparable;
  - files under the minimum size, special files, unreadable entries and names that are not
    UTF-8 are not compared, and make their folder not comparable;
  - empty files and folders are never offered, nor symbolic links, nor anything inside a
    package (the package folder itself is);
  - a folder's content is the list of its children's contents in name order (names aside),
    a symbolic link's content its target text;
  - a member that lies inside a folder that is itself offered is left out, and a group left
    with fewer than two members is dropped.
Ends with "groups=G members=M extra=E extra_bytes=B", comparable with scan-bench.
"""

import argparse
import hashlib
import os
import stat

PACKAGE_EXTENSIONS = {
    "app", "appex", "bundle", "framework", "plugin", "kext", "xpc", "prefpane", "qlgenerator",
    "mdimporter", "saver", "wdgt", "component", "photoslibrary", "photolibrary",
    "migratedphotolibrary", "aplibrary", "fcpbundle", "imovielibrary", "logicx", "band", "rtfd",
    "pages", "numbers", "key", "xcodeproj", "xcworkspace",
}


def is_package(name):
    base, dot, extension = name.rpartition(".")
    return bool(dot) and bool(base) and extension.lower() in PACKAGE_EXTENSIONS


class Item:
    def __init__(self, path, is_folder, size, content, empty, in_package):
        self.path = path            # str; folders end with "/"
        self.is_folder = is_folder
        self.size = size
        self.content = content      # None: not comparable
        self.empty = empty
        self.in_package = in_package
        self.parent = None


def file_content(path):
    digest = hashlib.sha1()
    try:
        with open(path, "rb") as data:
            for block in iter(lambda: data.read(1 << 20), b""):
                digest.update(block)
    except OSError:
        return None
    return "file:" + digest.hexdigest()


def walk(path, in_package, minimum, items):
    """Adds the folder at path and everything below it to items; returns the folder."""
    parts, total, comparable, empty = [], 0, True, True
    folder = Item(os.fsdecode(path).rstrip("/") + "/", True, 0, None, True, in_package)
    items.append(folder)
    package = in_package or is_package(os.fsdecode(os.path.basename(path.rstrip(b"/"))))
    try:
        names = sorted(os.listdir(path))
    except OSError:
        names, comparable = [], False
    for name in names:
        full = os.path.join(path, name)
        if name.startswith(b"."):
            comparable = False
            continue
        try:
            name.decode("utf-8")
            status = os.lstat(full)
        except (UnicodeDecodeError, OSError):
            comparable = False
            continue
        if stat.S_ISDIR(status.st_mode):
            child = walk(full, package, minimum, items)
        else:
            size = status.st_size
            if minimum > 0 and size < minimum:
                total += size
                comparable = False
                continue
            if stat.S_ISREG(status.st_mode):
                content = file_content(full)
            elif stat.S_ISLNK(status.st_mode):
                content = "link:" + os.readlink(full).hex()
            else:
                content = None
            child = Item(os.fsdecode(full), False, size, content, size == 0, package)
            items.append(child)
        child.parent = folder
        total += child.size
        empty = empty and child.empty
        if child.content is None:
            comparable = False
        parts.append(child.content or "")
    folder.size = total
    folder.empty = empty
    if comparable:
        folder.content = "folder:" + hashlib.sha1("|".join(parts).encode()).hexdigest()
    return folder


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true", help="print each group's members")
    parser.add_argument("--min-size", type=float, default=0)
    parser.add_argument("roots", nargs="+")
    arguments = parser.parse_args()

    items = []
    for root in arguments.roots:
        walk(os.fsencode(root), False, arguments.min_size, items)

    groups = {}
    for item in items:
        if item.content is None or item.empty or item.in_package or item.content.startswith("link:"):
            continue
        groups.setdefault(item.content, []).append(item)
    groups = [members for members in groups.values() if len(members) > 1]

    offered_folders = {id(member) for members in groups for member in members if member.is_folder}

    def inside_offered_folder(item):
        parent = item.parent
        while parent is not None:
            if id(parent) in offered_folders:
                return True
            parent = parent.parent
        return False

    kept = []
    for members in groups:
        members = [member for member in members if not inside_offered_folder(member)]
        if len(members) > 1 and members[0].size >= arguments.min_size:
            kept.append(members)

    if arguments.list:
        for line in sorted(" | ".join(sorted(member.path for member in members)) for members in kept):
            print("group " + line)
    member_count = sum(len(members) for members in kept)
    extra_bytes = sum(members[0].size * (len(members) - 1) for members in kept)
    print("groups=%d members=%d extra=%d extra_bytes=%d"
          % (len(kept), member_count, member_count - len(kept), extra_bytes))


if __name__ == "__main__":
    main()
