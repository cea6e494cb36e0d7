#!/usr/bin/env python3
"""count-duplicates.py [--list] [--min-size BYTES] ROOT...

An independent count of the duplicate groups that a scan should find: it reads and hashes
every file, and applies the scan's rules of what may be offered, not its code:
  - hidden entries are never looked at, and a folder that holds one is not comparable;
  - files under the minimum size, special files, unreadable entries and names that are not
    UTF-8 are not compared, and make their folder not comparable;
  - empty files and folders are never offered, nor symbolic links, nor anything inside a
    package (the package folder itself is);
  - a folder's content is the list of its children's names and contents, in byte order of the
    names; a symbolic link's content is the place it names: its target made absolute against
    the link's folder and cleaned of "." and "..", lexically; a link has no bytes;
  - in a group of files, a name of an inode met earlier in the group is left out;
  - roots are made absolute and cleaned of "." and repeated "/" (one with ".." is taken where it
    leads); a root that by where it leads lies under another, or repeats an earlier one, is
    dropped;
  - a member that lies inside a folder that is itself offered is left out; a group left with one
    member takes back the first member it left out, and a group left with none is dropped.
Ends with "groups=G members=M extra=E extra_bytes=B", comparable with scan-bench. --list prints
each group first, as "group " and its members' paths in sorted order joined by " | ", with
backslashes and control characters written as C escapes; the lines are sorted.
"""

import argparse
import hashlib
import os
import stat
import sys

PACKAGE_EXTENSIONS = {
    "app", "appex", "bundle", "framework", "plugin", "kext", "xpc", "prefpane", "qlgenerator",
    "mdimporter", "saver", "wdgt", "component", "photoslibrary", "photolibrary",
    "migratedphotolibrary", "aplibrary", "fcpbundle", "imovielibrary", "logicx", "band", "rtfd",
    "pages", "numbers", "key", "xcodeproj", "xcworkspace",
}

C_ESCAPES = {"\\": "\\\\", "\n": "\\n", "\r": "\\r", "\t": "\\t"}


def is_package(name):
    base, dot, extension = name.rpartition(".")
    return bool(dot) and bool(base) and extension.lower() in PACKAGE_EXTENSIONS


def escaped(text):
    return "".join(C_ESCAPES.get(c, "\\%03o" % ord(c) if ord(c) < 0x20 or ord(c) == 0x7F else c)
                   for c in text)


def clean(path):
    """The path with ".", ".." and repeated "/" taken out, without looking at the disk."""
    absolute = path.startswith("/")
    parts = []
    for part in path.split("/"):
        if part in ("", "."):
            continue
        if part == "..":
            if parts and parts[-1] != "..":
                parts.pop()
            elif not absolute:
                parts.append(part)
            continue
        parts.append(part)
    return ("/" if absolute else "") + "/".join(parts)


class Item:
    def __init__(self, path, is_folder, size, content, empty, in_package, inode=None):
        self.path = path            # str; folders end with "/"
        self.is_folder = is_folder
        self.size = size
        self.content = content      # None: not comparable
        self.empty = empty
        self.in_package = in_package
        self.inode = inode          # (device, inode) of a regular file
        self.parent = None


def file_content(folder_fd, name):
    digest = hashlib.sha1()
    try:
        with open(os.open(name, os.O_RDONLY | os.O_NOFOLLOW | os.O_NONBLOCK, dir_fd=folder_fd), "rb") as data:
            for block in iter(lambda: data.read(1 << 20), b""):
                digest.update(block)
    except OSError:
        return None
    return "file:" + digest.hexdigest()


def link_content(folder, folder_fd, name):
    try:
        target = os.readlink(name, dir_fd=folder_fd).decode("utf-8")
    except (OSError, UnicodeDecodeError):
        return None
    return "link:" + clean(target if target.startswith("/") else folder + target)


def walk(path, in_package, minimum, items, parent_fd=None):
    """Adds the folder at path and everything below it to items; returns the folder. Each folder
    is opened in the one above it, so paths longer than the system takes at once are walked."""
    parts, total, comparable, empty = [], 0, True, True
    folder = Item(os.fsdecode(path).rstrip("/") + "/", True, 0, None, True, in_package)
    items.append(folder)
    package = in_package or is_package(os.fsdecode(os.path.basename(path.rstrip(b"/"))))
    name_in_parent = path if parent_fd is None else os.path.basename(path)
    try:
        folder_fd = os.open(name_in_parent, os.O_RDONLY | os.O_DIRECTORY, dir_fd=parent_fd)
    except OSError:
        folder_fd = None
    try:
        names = sorted(map(os.fsencode, os.listdir(folder_fd))) if folder_fd is not None else None
    except OSError:
        names = None
    if names is None:
        names, comparable = [], False
    for name in names:
        full = path.rstrip(b"/") + b"/" + name
        if name.startswith(b"."):
            comparable = False
            continue
        try:
            name.decode("utf-8")
            status = os.lstat(name, dir_fd=folder_fd)
        except (UnicodeDecodeError, OSError):
            comparable = False
            continue
        if stat.S_ISDIR(status.st_mode):
            child = walk(full, package, minimum, items, folder_fd)
        else:
            is_link = stat.S_ISLNK(status.st_mode)
            size = 0 if is_link else status.st_size
            if minimum > 0 and size < minimum:
                total += size
                comparable = False
                continue
            inode = None
            if stat.S_ISREG(status.st_mode):
                content = file_content(folder_fd, name)
                inode = (status.st_dev, status.st_ino)
            elif is_link:
                content = link_content(folder.path, folder_fd, name)
            else:
                content = None
            child = Item(os.fsdecode(full), False, size, content, size == 0, package, inode)
            items.append(child)
        child.parent = folder
        total += child.size
        empty = empty and child.empty
        if child.content is None:
            comparable = False
        parts.append((name.hex(), child.content))
    if folder_fd is not None:
        os.close(folder_fd)
    folder.size = total
    folder.empty = empty
    if comparable:
        folder.content = "folder:" + hashlib.sha1(repr(parts).encode("utf-8", "surrogateescape")).hexdigest()
    return folder


def absolute_clean(root):
    """The root made absolute and cleaned; one that goes up with ".." is taken where it leads."""
    absolute = os.path.join(os.getcwd(), root)
    return os.path.realpath(absolute) if ".." in absolute.split("/") else clean(absolute)


def is_under(path, other):
    return path == other or path.startswith(other.rstrip("/") + "/")


def kept_roots(roots):
    """Roots that, by where they lead, neither lie under another nor repeat an earlier one."""
    resolved = [os.path.realpath(root) for root in roots]
    return [root for index, root in enumerate(roots)
            if not any(other != index and is_under(resolved[index], resolved[other])
                       and (resolved[index] != resolved[other] or other < index)
                       for other in range(len(roots)))]


def without_repeated_inodes(members):
    seen, kept = set(), []
    for member in members:
        if member.inode is not None and member.inode in seen:
            continue
        if member.inode is not None:
            seen.add(member.inode)
        kept.append(member)
    return kept


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true", help="print each group's members")
    parser.add_argument("--min-size", type=float, default=0)
    parser.add_argument("roots", nargs="+")
    arguments = parser.parse_args()
    # Folders are walked by recursion, one level a call.
    sys.setrecursionlimit(100000)

    items = []
    for root in kept_roots([absolute_clean(root) for root in arguments.roots if root]):
        walk(os.fsencode(root), False, arguments.min_size, items)

    groups = {}
    for item in items:
        if item.content is None or item.empty or item.in_package or item.content.startswith("link:"):
            continue
        groups.setdefault(item.content, []).append(item)
    groups = [without_repeated_inodes(members) for members in groups.values()]
    groups = [members for members in groups if len(members) > 1]

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
        outside = [member for member in members if not inside_offered_folder(member)]
        if len(outside) == 1:
            # The one copy outside is offered with the first copy that lies inside.
            taken_back = next(member for member in members if member not in outside)
            outside = [member for member in members if member in outside or member is taken_back]
        if len(outside) > 1 and outside[0].size >= arguments.min_size:
            kept.append(outside)

    if arguments.list:
        for line in sorted("group " + " | ".join(sorted(escaped(member.path) for member in members))
                           for members in kept):
            print(line)
    member_count = sum(len(members) for members in kept)
    extra_bytes = sum(members[0].size * (len(members) - 1) for members in kept)
    print("groups=%d members=%d extra=%d extra_bytes=%d"
          % (len(kept), member_count, member_count - len(kept), extra_bytes))


if __name__ == "__main__":
    main()
