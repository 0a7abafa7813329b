#!/usr/bin/env python3
"""Checks that each folder of the source includes only the folders and Qt
modules below it. Run by CTest as the test `layers`:

    python3 scripts/check-layers.py [--qt-headers DIR] [SOURCE_ROOT]

DIR is the folder that holds QtCore/, QtGui/, QtWidgets/ ...; with it, a
header named <QWidget> is known to be Qt Widgets'. Exits 1 and names every
include that crosses a layer, every folder of sources the table lacks, every
include of a header that is private to another folder (a header says so in a
comment line "Private to <folder>/"), and every two files of one folder that
include each other (a file's .h and .cpp count as one: a tie both ways
means the two belong together or need a third below them).
"""
import os
import re
import sys

ANY = None  # any Qt module

# folder: (the program's folders it may include besides itself, Qt modules it may use)
LAYERS = {
    "files":       (set(), {"QtCore"}),
    "store":       ({"files"}, {"QtCore"}),
    "claims":      ({"store", "files"}, {"QtCore"}),
    "rosters":     ({"store", "files"}, {"QtCore"}),
    "backup":      ({"store", "files"}, {"QtCore"}),
    "claimstatus": ({"claims", "rosters", "store", "files"}, {"QtCore"}),
    "stats":       ({"claimstatus", "claims", "rosters", "store", "files"}, {"QtCore"}),
    "forms":       ({"store", "files"}, {"QtCore", "QtGui", "QtWidgets"}),
    "output":      ({"claimstatus", "claims", "rosters", "store", "files", "forms"}, ANY),
    "entry":       ({"claims", "rosters", "store", "files", "forms"}, ANY),
    "status":      ({"claimstatus", "claims", "rosters", "store", "files", "forms", "output"}, ANY),
    "history":     ({"claimstatus", "claims", "store", "files", "forms"}, ANY),
    "import":      ({"rosters", "store", "files", "forms"}, ANY),
    "backupwindow": ({"backup", "store", "files", "forms"}, ANY),
    "statswindow": ({"stats", "claimstatus", "claims", "rosters", "store", "files", "forms", "output"}, ANY),
    "app":         ({"files", "store", "claims", "rosters", "backup", "claimstatus", "forms", "entry", "status",
                     "history", "import", "backupwindow", "stats", "statswindow", "output"}, ANY),
}
# Tests, benchmarks and fuzz targets may include anything.
FREE = {"tests", "bench", "fuzz"}

SOURCE_ENDINGS = (".cpp", ".h", ".h.in")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
PRIVATE = re.compile(r'^\s*//.*\bPrivate to (\w+)/')


def qt_module_of(header, qt_headers):
    """The Qt module of an angle include, or None when it is no Qt header."""
    first = header.split("/")[0]
    if "/" in header and first.startswith("Qt"):
        return first
    if qt_headers and header.startswith("Q"):
        for module in sorted(os.listdir(qt_headers)):
            if os.path.isfile(os.path.join(qt_headers, module, header)):
                return module
    return None


def crossing(folder, quote, header, qt_headers):
    """Why the include is not allowed in folder, or None."""
    folders, modules = LAYERS[folder]
    if quote == '"':
        top = header.split("/")[0] if "/" in header else folder
        if top != folder and top not in folders:
            return f"{folder}/ may not include {top}/"
        return None
    module = qt_module_of(header, qt_headers)
    if module and modules is not ANY and module not in modules:
        return f"{folder}/ may use only {', '.join(sorted(modules))}, not {module}"
    return None


def source_files(root):
    for top in sorted(os.listdir(root)):
        path = os.path.join(root, top)
        if not os.path.isdir(path) or top.startswith((".", "build")) or top in FREE:
            continue
        for here, dirs, files in os.walk(path):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_ENDINGS):
                    yield top, os.path.join(here, name)


def quoted_includes(path):
    """(line number, line, header) of every include in quotes."""
    with open(path, encoding="utf-8", errors="replace") as text:
        for number, line in enumerate(text, 1):
            found = INCLUDE.match(line)
            if found and found.group(1) == '"':
                yield number, line.strip(), found.group(2)


def owner_if_private(path):
    """The folder a header is private to, or None."""
    with open(path, encoding="utf-8", errors="replace") as text:
        for line in text:
            found = PRIVATE.match(line)
            if found:
                return found.group(1)
    return None


def unit_of(path):
    """A file's folder and its name without the ending: a .h and its .cpp."""
    folder, name = os.path.split(path)
    return folder, name.split(".")[0]


def two_way_ties(root, files):
    """Pairs of units of one folder that include each other."""
    edges = {}
    for top, path in files:
        folder, unit = unit_of(path)
        for number, line, header in quoted_includes(path):
            target_folder, target = unit_of(os.path.join(root, header) if "/" in header else os.path.join(folder, header))
            if target_folder == folder and target != unit:
                edges.setdefault((folder, unit, target), (path, number, line))
    faults = []
    for (folder, a, b), (path, number, line) in sorted(edges.items()):
        if a < b and (folder, b, a) in edges:
            back_path, back_number, back_line = edges[(folder, b, a)]
            shown = os.path.relpath(os.path.join(folder, a), root)
            faults.append(f"{os.path.relpath(path, root)}:{number}: {line}: {shown} and "
                          f"{os.path.relpath(os.path.join(folder, b), root)} include each other "
                          f"({os.path.relpath(back_path, root)}:{back_number})")
    return faults


def check(root, qt_headers):
    faults = []
    files = list(source_files(root))
    for top, path in files:
        shown = os.path.relpath(path, root)
        if top not in LAYERS:
            faults.append(f"{shown}: the folder {top}/ has no row in the layer table")
            continue
        with open(path, encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                found = INCLUDE.match(line)
                why = found and crossing(top, found.group(1), found.group(2), qt_headers)
                if why:
                    faults.append(f"{shown}:{number}: {line.strip()}: {why}")
        for number, line, header in quoted_includes(path):
            target = os.path.join(root, header)
            owner = os.path.isfile(target) and owner_if_private(target)
            if owner and owner != top:
                faults.append(f"{shown}:{number}: {line}: the header is private to {owner}/")
    return faults + two_way_ties(root, [(t, p) for t, p in files if t in LAYERS])


def self_test():
    """Plants each kind of crossing in a folder of its own and checks that
    every one is found, and that a sound tree passes."""
    import tempfile
    planted = {
        "a layer": {"files/A.h": '#include "claims/B.h"\n', "claims/B.h": ""},
        "a private header": {"files/P.h": "// Private to files/.\n", "claims/C.cpp": '#include "files/P.h"\n'},
        "a two-way tie": {"claims/D.cpp": '#include "claims/E.h"\n', "claims/D.h": "",
                          "claims/E.cpp": '#include "claims/D.h"\n', "claims/E.h": ""},
        "none": {"files/P.h": "// Private to files/.\n", "files/F.cpp": '#include "files/P.h"\n',
                 "claims/G.cpp": '#include "claims/H.h"\n#include "files/F.h"\n', "claims/H.h": "",
                 "files/F.h": ""},
    }
    failed = []
    for kind, tree in planted.items():
        with tempfile.TemporaryDirectory() as root:
            for name, text in tree.items():
                os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
                with open(os.path.join(root, name), "w", encoding="utf-8") as f:
                    f.write(text)
            faults = check(root, None)
            if (kind == "none") != (not faults):
                failed.append(f"{kind}: {faults or 'not found'}")
    for line in failed:
        print("self-test failed:", line)
    if not failed:
        print("self-test: every planted crossing found, the sound tree passed")
    return 1 if failed else 0


def main(args):
    if args[:1] == ["--self-test"]:
        return self_test()
    qt_headers = None
    if args[:1] == ["--qt-headers"]:
        qt_headers, args = args[1], args[2:]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = check(root, qt_headers)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) crossing a layer" if faults else "layers: every include allowed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
