#!/usr/bin/env python3
"""Writes demo/data/名簿サンプル.csv: the students of R06入学.CSV as a student
system exports them, to try 「名簿取込」 with. Another column order, readings
in katakana (every fifth student in half-width katakana), names with a
half-width space, classes as 「3年6組」, dates of birth as 2008/07/22, UTF-8
with its byte order mark and CR LF, as Excel's "CSV UTF-8" saves it.
Imported for 令和6年度, it gives R06入学.CSV back byte for byte.

Run after generate.py: python3 demo/generate_import_sample.py
"""

import pathlib
import unicodedata

DATA = pathlib.Path(__file__).resolve().parent / "data"
HEADER = ["学籍番号", "生徒氏名", "フリガナ", "性別", "生年月日", "学科",
          "3年クラス", "2年クラス", "1年クラス", "保護者氏名", "出身校", "住所"]
# Roster field index of each column above.
FIELDS = [0, 4, 5, 8, 10, 9, 1, 2, 3, 6, 7, 11]
ERAS = {"H": 1988, "R": 2018, "S": 1925}


def katakana(text):
    return "".join(chr(ord(c) + 0x60) if 0x3041 <= ord(c) <= 0x3093 else c for c in text)


def half_width_table():
    table = {}
    for code in range(0xFF61, 0xFFA0):
        table[unicodedata.normalize("NFKC", chr(code))] = chr(code)
    for code in range(0xFF66, 0xFF9E):
        for mark in ("\uFF9E", "\uFF9F"):
            joined = unicodedata.normalize("NFKC", chr(code) + mark)
            if len(joined) == 1:
                table[joined] = chr(code) + mark
    table["\u3000"] = " "
    return table


HALF = half_width_table()


def half_width(text):
    return "".join(HALF.get(c, c) for c in text)


def western_date(text):
    era, rest = text[0], text[1:]
    year, month, day = (int(part) for part in rest.split("."))
    return f"{ERAS[era] + year}/{month:02d}/{day:02d}"


def export_class(text):
    year, number = text.split("-")
    return f"{year}年{number}組"


def export_row(fields, index):
    reading = katakana(fields[5])
    values = list(fields)
    values[5] = half_width(reading) if index % 5 == 4 else reading
    values[4] = fields[4].replace("\u3000", " ")
    values[6] = fields[6].replace("\u3000", " ")
    values[10] = western_date(fields[10])
    for k in (1, 2, 3):
        values[k] = export_class(fields[k]) if fields[k] else ""
    return [values[f] for f in FIELDS]


def main():
    lines = (DATA / "R06入学.CSV").read_bytes().decode("cp932").split("\r\n")
    students = [line.split(",") for line in lines[1:] if line]
    rows = [HEADER] + [export_row(s, i) for i, s in enumerate(students)]
    text = "".join(",".join(row) + "\r\n" for row in rows)
    (DATA / "名簿サンプル.csv").write_bytes(b"\xef\xbb\xbf" + text.encode("utf-8"))
    print(f"名簿サンプル.csv: {len(students)} students")


if __name__ == "__main__":
    main()
