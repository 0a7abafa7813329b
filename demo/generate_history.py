#!/usr/bin/env python3
"""Adds a few kept versions to the history (履歴) of Kiboru's demo folder.

Run after generate.py and generate_status.py:

    python3 demo/generate_history.py [--out OUT_DIR]

Every save keeps the bytes it replaces in 履歴; this writes such versions
for two claims, one status file and one claim that was later deleted, so
that the 「履歴」 window shows every kind of line at once: changed header
fields and months, a changed status, and a claim that is gone (削除) and
can be put back. Each version is the current file with an earlier state
put back in. Standard library only; the output is the same on every run.
"""

import argparse
import shutil
import sys
from pathlib import Path

from generate import ENCODING, NOT_TREATED, TREATED

CRLF = b"\r\n"

# (folder, file stem, [(time, PC, [(line, field, old text)])]), oldest first:
# each version is the file as it was before the save at that time.
VERSIONS = [
    ("seikyu", "請21104-2", [
        ("20261124-091512-204", "JIMU-PC1", [(1, 5, "捻挫"), (2, 13, TREATED)]),
        ("20261201-153047-881", "JIMU-PC2", [(2, 11, NOT_TREATED)]),
    ]),
    ("seikyu", "請26081-1", [
        ("20261203-104405-017", "JIMU-PC1", [(1, 7, "授業中"), (1, 8, "")]),
    ]),
    ("請求状況", "請21104-2", [
        ("20261202-112233-450", "JIMU-PC2", [(3, 2, "未請求"), (3, 3, ""), (3, 5, ""), (3, 6, ""), (3, 8, ""), (3, 9, "")]),
    ]),
]

# A claim deleted by hand: its last version is kept, the file itself is gone.
DELETED = ("請22261-2", "請22261-1", "20261207-140327-662", "JIMU-PC1",
           [(0, 0, "請22261-2"), (1, 1, "11"), (1, 2, "2"), (1, 3, "火"), (1, 5, "打撲"), (1, 6, "頭部")])


def with_changes(data, changes):
    """The file's bytes with the given fields of the given lines replaced."""
    lines = data.split(CRLF)
    for line, field, text in changes:
        fields = lines[line].split(b",")
        fields[field] = text.encode(ENCODING)
        lines[line] = b",".join(fields)
    return CRLF.join(lines)


def write_version(out_dir, folder, stem, time, pc, data):
    path = out_dir / "履歴" / folder / stem / f"{time}-{pc}.CSV"
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)
    print(f"{path.relative_to(out_dir)}")


def main(argv=None):
    here = Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description="Add kept versions to Kiboru's demo folder.")
    parser.add_argument("--out", default=str(here / "data"), help="folder to write (default: demo/data)")
    out_dir = Path(parser.parse_args(argv).out)
    shutil.rmtree(out_dir / "履歴", ignore_errors=True)
    for folder, stem, versions in VERSIONS:
        current = (out_dir / folder / f"{stem}.CSV").read_bytes()
        # Oldest first: each older version also lacks the changes made after it.
        for i, (time, pc, _) in enumerate(versions):
            data = current
            for _, _, changes in reversed(versions[i:]):
                data = with_changes(data, changes)
            write_version(out_dir, folder, stem, time, pc, data)
    stem, model, time, pc, changes = DELETED
    write_version(out_dir, "seikyu", stem, time, pc, with_changes((out_dir / "seikyu" / f"{model}.CSV").read_bytes(), changes))
    return 0


if __name__ == "__main__":
    sys.exit(main())
