#!/usr/bin/env python3
"""Adds claim status files to Kiboru's demo working folder.

Run after generate.py (which replaces the claim files):

    python3 demo/generate_status.py [--out OUT_DIR]

Writes two claims of long follow-up treatment (an injury in 2015 or 2016
treated again from 2024 on, within the ten years of benefit) and status
files in 請求状況/ for them and for the generated claims (all paid but one). On the
reference date 2026-12-09 the deadline list then shows every colour at
once: lapsed months (red), a month due within 30 days (orange), months
due within 90 days (yellow), later ones, a month beyond the ten years
(給付期間外), claimed and paid months, a month of 7,000 points or more and
a recorded month that is no longer marked (印なし). Through 2027 the
colours move on to the later months. Paid months are paid at the usual
4 yen a point, but one a few yen short (金額を確認); most were handed to the
guardian a week after, and four await handover on that date (「未渡し」):
one paid 114 days before (red), one 19 days before (orange), one 9 days
before and the unmarked month with no paid date. One handover's method
reads as a spreadsheet left it (口座振替). Handovers from 2020 on name who
handed the payout over and who checked (one checked by the same person);
every receipt came back five days after but one. 支払通知.CSV holds the
notice totals of two payment days of 2026年度, one ¥20 short of the months
recorded. Standard library only; the output is
the same byte for byte on every run.
"""

import argparse
import csv
import datetime
import io
import sys
from pathlib import Path

from generate import ENCODING, MONTH_LABELS, NOT_TREATED, TREATED, WEEKDAYS, encode_lines, write_bytes

STATUS_HEADER = ["診療年", "診療月", "状況", "請求日", "点数", "支払日", "支払額", "メモ", "保護者支払日", "支払方法",
                 "渡した人", "確認者", "受領書"]

# Who hands payouts over and who checks, since the office began to record it.
HANDED_BY, CHECKED_BY = "佐々木", "高橋"
NAMES_RECORDED_FROM = datetime.date(2020, 4, 1)
# The one handover checked by the person who made it, and the one receipt not back yet.
SAME_PERSON = ("請06076-1", 2025, 10)
RECEIPT_NOT_BACK = ("請07312-1", 2025, 10)
# Payment days of 2026年度 whose notice totals the office typed, and how far
# the notice of the second is from the months recorded for it (yen).
NOTICE_DIFFERENCE = -20

YEN_PER_POINT = 4

# (ID, occurrence, injury date, header fields 5 to 10, treated months)
FOLLOW_UP_CLAIMS = [
    ("28011", 1, datetime.date(2016, 11, 15), ["済", "骨折", "膝部", "部活中", "サッカー", "校舎外運動場・校庭"],
     [(2016, 11), (2016, 12), (2017, 1), (2024, 10), (2024, 11), (2024, 12), (2025, 3), (2026, 10), (2026, 12)]),
    ("27105", 1, datetime.date(2015, 9, 3), ["済", "捻挫", "足関節部", "部活中", "陸上競技", "校舎外運動場・校庭"],
     [(2015, 9), (2015, 10), (2025, 1), (2025, 2), (2025, 6), (2025, 9)]),
]

# Claim file name -> rows (year, month, state, claim date, points, paid date, amount, note
# [, handed date, method]); paid months without the last two are handed over by handed_over().
STATUSES = {
    "請28011-1": [
        (2016, 11, "支払済", "2016/12/08", 1850, "2017/01/20", 7400, ""),
        (2016, 12, "支払済", "2017/01/10", 620, "2017/02/17", 2480, ""),
        (2017, 1, "請求済", "2017/02/09", 430, "", None, "支払通知待ち"),
        (2024, 11, "書類待ち", "", None, "", None, "医療等の状況を病院に依頼済"),
        (2025, 3, "未請求", "", 7200, "", None, "手術, 入院 \"5日\""),
    ],
    "請27105-1": [
        (2015, 9, "支払済", "2015/10/09", 980, "2015/11/20", 3920, ""),
        (2015, 10, "対象外", "", 120, "", None, "保護者が請求しないと回答"),
        (2025, 2, "請求済", "2026/11/30", 540, "", None, ""),
    ],
}

# Generated claims left as they are: their months lapsed unclaimed (red).
LAPSED_CLAIMS = {"請22261-1"}

# (claim, year, month) -> (paid date, amount, handed date, method) of paid months
# whose handover differs from the usual week after the payout, by 振込.
HANDOVERS = {
    ("請06076-1", 2025, 10): ("2025/12/18", 2800, "2025/12/26", "現金"),
    ("請06076-2", 2026, 7): ("2026/11/30", 2800, "", ""),
    ("請06076-2", 2026, 8): ("2026/11/20", 2797, "", ""),
    ("請08046-1", 2026, 6): ("2026/08/17", 2800, "", ""),
    ("請07312-1", 2025, 10): ("2025/12/18", 2800, "2026/01/09", "口座振替"),
}


def school_row(injury_school_year, year, month):
    """Row (1..13) and month slot k (1 = April .. 12 = March) of a calendar month."""
    school_year = year if month >= 4 else year - 1
    return school_year - injury_school_year + 1, (month - 3 if month >= 4 else month + 9)


def roster_student(out_dir, student_id):
    era = student_id[:2]
    with open(out_dir / f"H{era}入学.CSV", encoding=ENCODING, newline="") as f:
        for row in csv.reader(f):
            if row and row[0] == student_id:
                return row[4], row[8]
    raise SystemExit(f"student {student_id} is not in H{era}入学.CSV")


def claim_lines(out_dir, student_id, occurrence, injured, fields, treated):
    name, sex = roster_student(out_dir, student_id)
    first_year = injured.year if injured.month >= 4 else injured.year - 1
    marks = [[NOT_TREATED] * 12 for _ in range(13)]
    for year, month in treated:
        r, k = school_row(first_year, year, month)
        marks[r - 1][k - 1] = TREATED
    lines = [f"請{student_id}-{occurrence},{name},{sex}",
             ",".join([str(injured.year), str(injured.month), str(injured.day), WEEKDAYS[injured.weekday()]] + fields)]
    for r in range(13):
        pairs = [f"{marks[r][k]},{MONTH_LABELS[k]}" for k in range(12)]
        lines.append(",".join([str(first_year + r)] + pairs))
    return lines


def treated_months(claim_path):
    lines = claim_path.read_bytes().decode(ENCODING).split("\r\n")
    months = []
    for line in lines[2:15]:
        fields = line.split(",")
        year = int(fields[0])
        for k in range(12):
            if fields[1 + 2 * k] == TREATED:
                months.append((year if k < 9 else year + 1, k + 4 if k < 9 else k - 8))
    return sorted(months)


def paid_rows(months):
    rows = []
    for year, month in months:
        claimed = datetime.date(year + (month == 12), month % 12 + 1, 8)
        paid = claimed + datetime.timedelta(days=40)
        rows.append((year, month, "支払済", claimed.strftime("%Y/%m/%d"), 700, paid.strftime("%Y/%m/%d"),
                     700 * YEN_PER_POINT, ""))
    return rows


def handed_over(name, row):
    """The row with its handover: as HANDOVERS says, or a week after a payout
    with a date, by 振込; nothing for other months and paid ones without a date."""
    if len(row) == 10:
        return row
    year, month, state, claimed, points, paid, amount, note = row
    if (name, year, month) in HANDOVERS:
        paid, amount, handed, method = HANDOVERS[(name, year, month)]
        return (year, month, state, claimed, points, paid, amount, note, handed, method)
    if state != "支払済" or not paid:
        return row + ("", "")
    handed = datetime.datetime.strptime(paid, "%Y/%m/%d").date() + datetime.timedelta(days=7)
    return row + (handed.strftime("%Y/%m/%d"), "振込")


def handed_by(name, row):
    """The row with who handed it over, who checked and when the receipt came
    back: names from 2020 on (one checked by the same person), a receipt five
    days after every handover but one."""
    year, month, handed = row[0], row[1], row[8]
    if not handed:
        return row + ("", "", "")
    handed_day = datetime.datetime.strptime(handed, "%Y/%m/%d").date()
    receipt = "" if (name, year, month) == RECEIPT_NOT_BACK else \
        (handed_day + datetime.timedelta(days=5)).strftime("%Y/%m/%d")
    if handed_day < NAMES_RECORDED_FROM:
        return row + ("", "", receipt)
    checked = HANDED_BY if (name, year, month) == SAME_PERSON else CHECKED_BY
    return row + (HANDED_BY, checked, receipt)


def notice_bytes(statuses):
    """支払通知.CSV: the totals of the two payment days of 2026年度 with the most
    months, the second differing from the months recorded by NOTICE_DIFFERENCE."""
    sums = {}
    for rows in statuses.values():
        for row in rows:
            paid, amount = row[5], row[6]
            if row[2] == "支払済" and paid and amount is not None and paid >= "2026/04/01":
                count, total = sums.get(paid, (0, 0))
                sums[paid] = (count + 1, total + amount)
    days = sorted(sorted(sums), key=lambda day: -sums[day][0])[:2]
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\r\n")
    writer.writerow(["支払日", "通知額"])
    for i, day in enumerate(sorted(days)):
        writer.writerow([day, sums[day][1] + (NOTICE_DIFFERENCE if i == 1 else 0)])
    return out.getvalue().encode(ENCODING)


def status_bytes(rows):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\r\n")
    writer.writerow(STATUS_HEADER)
    for row in rows:
        writer.writerow(["" if v is None else v for v in row])
    return out.getvalue().encode(ENCODING)


def main(argv=None):
    here = Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description="Add claim status files to Kiboru's demo folder.")
    parser.add_argument("--out", default=str(here / "data"), help="folder to write (default: demo/data)")
    args = parser.parse_args(argv)
    out_dir = Path(args.out)

    for student_id, occurrence, injured, fields, treated in FOLLOW_UP_CLAIMS:
        path = out_dir / "seikyu" / f"請{student_id}-{occurrence}.CSV"
        write_bytes(path, encode_lines(claim_lines(out_dir, student_id, occurrence, injured, fields, treated)))
        print(f"seikyu/{path.name}: {len(treated)} months treated")

    status_dir = out_dir / "請求状況"
    status_dir.mkdir(exist_ok=True)
    statuses = dict(STATUSES)
    # Every other claim paid month by month, as an office that kept up.
    for path in sorted((out_dir / "seikyu").glob("請*.CSV")):
        name = path.stem
        if name in statuses or name in LAPSED_CLAIMS:
            continue
        months = treated_months(path)
        statuses[name] = paid_rows(months)
        if name == "請28194-1":   # a month paid, then unmarked in the claim
            last = months[-1]
            statuses[name].append((last[0] + (last[1] == 12), last[1] % 12 + 1, "支払済", "", 300, "", 1200,
                                   "印を外した月"))
    for name, rows in statuses.items():
        rows = [handed_by(name, handed_over(name, row)) for row in rows]
        write_bytes(status_dir / f"{name}.CSV", status_bytes(rows))
        print(f"請求状況/{name}.CSV: {len(rows)} months")
    write_bytes(status_dir / "支払通知.CSV", notice_bytes(statuses))
    print("請求状況/支払通知.CSV: two payment days")
    return 0


if __name__ == "__main__":
    sys.exit(main())
