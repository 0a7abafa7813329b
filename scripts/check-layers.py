#!/usr/bin/env python3
"""Checks that each folder of the source includes only the folders and Qt
modules below it. Run by CTest as the test `layers`:

    python3 scripts/check-layers.py [--qt-headers DIR] [SOURCE_ROOT]

DIR is the folder that holds QtCore/, QtGui/, QtWidgets/ ...; with it, a
header named <QWidget> is known to be Qt Widgets'. Exits 1 and names every
include that crosses a layer, and every folder of sources the table lacks.
"""
import os
import re
import sys

ANY = None  # any Qt module

# folder: (the program's folders it may include besides itself, Qt modules it may use)
LAYERS = {
    "files":       (set(), {"QtCore"}),
    "claims":      ({"files"}, {"QtCore"}),
    "claimstatus": ({"claims", "files"}, {"QtCore"}),
    "forms":       (set(), {"QtCore", "QtGui", "QtWidgets"}),
    "entry":       ({"claims", "files", "forms"}, ANY),
    "status":      ({"claimstatus", "claims", "files", "forms"}, ANY),
    "history":     ({"claimstatus", "claims", "files", "forms"}, ANY),
    "import":      ({"claims", "files", "forms", "entry"}, ANY),
    "app":         ({"files", "claims", "claimstatus", "forms", "entry", "status", "history", "import"}, ANY),
}
# Tests, benchmarks and fuzz targets may include anything.
FREE = {"tests", "bench", "fuzz"}

SOURCE_ENDINGS = (".cpp", ".h", ".h.in")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


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


def check(root, qt_headers):
    faults = []
    for top, path in source_files(root):
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
    return faults


def main(args):
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
