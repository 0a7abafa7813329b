#!/usr/bin/env python3
"""Build Kiboru's demo working folder (demo/data).

The folder holds one student roster per entry year, H20入学.CSV to
H28入学.CSV and R06入学.CSV to R08入学.CSV, and a folder seikyu with a few
claim files.  Every person in it
is made up: names and readings are drawn at random from public name lists
(gimei_names.yml), addresses and junior high schools from a public list of
place names (gimei_addresses.yml).  The random seed is fixed, so the output
is the same on every run.

Usage:
    python3 demo/generate.py [DATA_DIR] [--out OUT_DIR]

DATA_DIR holds gimei_names.yml and gimei_addresses.yml (and, if present,
ken_all.zip, used only to put each city under its right prefecture); it
defaults to ../shared/data beside the repository.  OUT_DIR defaults to
demo/data.  Python 3 standard library only.
"""

import argparse
import datetime
import io
import random
import sys
import zipfile
from pathlib import Path

SEED = 20160401
ENCODING = "cp932"
CRLF = b"\r\n"

FIRST_ENTRY_YEAR = 2008   # 平成20年度
LAST_ENTRY_YEAR = 2016    # 平成28年度; also the school year the demo "lives" in
CLASSES = 8               # class 8 is the science course, the others general
SCIENCE_CLASS = 8

ROSTER_HEADER = ("ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,"
                 "保護者,出身中学校,性別,学科,生年月日,住所")

MONTH_LABELS = ["４月", "５月", "６月", "７月", "８月", "９月",
                "10月", "11月", "12月", "１月", "２月", "３月"]
NOT_TREATED = "\uff0d"    # －  (cp932 81 7C)
TREATED = "\u25ce"        # ◎  (cp932 81 9D)
WEEKDAYS = "月火水木金土日"  # index = date.weekday()

# The entry window's choice lists for the header fields.
INJURIES = ['打撲', '捻挫', '骨折', '挫傷・裂傷', '靱帯損傷', '眼科', '歯科', '頭部外傷', 'その他']
BODY_PARTS = ['頭部', '前額部', '眼部', '頬部', '耳部', '鼻部', '口部', '歯部', '顎部', '頸部',
              '肩部', '胸部（含内臓損傷）', '腹部（含内臓損傷）', '背部', '腰部', '臀部', '上腕部',
              '肘部', '前腕部', '手関節部', '手・手指部', '大腿部・股関節', '膝部', '下腿部',
              '足関節部', '足・足指部', 'その他']
SITUATIONS = ['授業前', '授業中', '休み時間', '昼休み', '掃除中', '部活中', '放課後', '通学中',
              '学校行事中', 'その他']
CLUBS = ['弓道', '柔道', '剣道', 'テニス', 'ｿﾌﾄﾃﾆｽ', '卓球', '登山', '陸上競技', '野球', 'ダンス',
         'ﾊﾞﾄﾞﾐﾝﾄﾝ', 'ﾊﾞｽｹｯﾄﾎﾞｰﾙ', 'ホッケー', 'ﾊﾞﾚｰﾎﾞｰﾙ', 'ﾊﾝﾄﾞﾎﾞｰﾙ', 'サッカー', '生物',
         '物理', '地学', '化学', '美術', '吹奏楽', 'コーラス', 'ｷﾞﾀｰﾏﾝﾄﾞﾘﾝ', '書道', '茶道', '華道',
         '演劇', '写真', '新聞', '放送', '文芸', '地歴', '英語', 'ＪＲＣ', '囲碁将棋', '弦楽',
         '総合活動', 'ＶＹＳ', '応援団', 'パソコン', '数学', 'その他']
PLACES = ['校舎内教室・実験自習室', '校舎内体育館・武道場', '校舎内廊下・昇降口・階段', '校舎内その他',
          '校舎外運動場・校庭', '校舎外体育施設等', '校舎外その他', '学校外道路', '学校外運動場',
          '学校外体育館・屋内運動場', '学校外その他']

# Values typed by the office that are on none of the lists (the lists are
# editable, so such texts occur in real claim files).
TYPED_VALUES = {"突き指", "熱中症", "鎖骨部", "ラグビー"}

# The demo claims.  Each student: entry year, a sex if the story needs one,
# a wish for a name with a kanji whose Shift-JIS trail byte is 0x5C, and
# the occurrences:
#   (n, school-year offset 0..2, months allowed, creditor, injury, body part,
#    situation, club, place, treated months as offsets from the injury month)
# Offsets past March run on into the next row of the table.
CLAIM_STORIES = [
    dict(entry=2008, sex=None, yen=False, claims=[
        (1, 0, (5, 6, 7), "済", "捻挫", "足関節部", "部活中", "陸上競技",
         "校舎外運動場・校庭", (0, 1)),
    ]),
    dict(entry=2009, sex="男", yen=False, claims=[
        (1, 0, (6, 9, 10), "済", "打撲", "膝部", "授業中", "ﾊﾞｽｹｯﾄﾎﾞｰﾙ",
         "校舎外運動場・校庭", (0,)),
        (2, 2, (5, 6), "済", "骨折", "手・手指部", "部活中", "ﾊﾞｽｹｯﾄﾎﾞｰﾙ",
         "校舎内体育館・武道場", (0, 1, 3)),
    ]),
    dict(entry=2010, sex="男", yen=False, claims=[
        (1, 0, (7, 8), "済", "歯科", "歯部", "部活中", "野球",
         "校舎外運動場・校庭", (0, 1, 2)),
        # Occurrence 2 was never filed: the student has 1 and 3.
        (3, 2, (11,), "済", "靱帯損傷", "膝部", "部活中", "野球",
         "学校外運動場", (0, 1, 2, 3, 4, 5, 6)),
    ]),
    dict(entry=2011, sex="女", yen=False, claims=[
        # Only occurrence 2 is on file (the first one's file is missing).
        (2, 2, (6, 10, 11), "済", "挫傷・裂傷", "前腕部", "掃除中", "吹奏楽",
         "校舎内廊下・昇降口・階段", (0,)),
    ]),
    dict(entry=2012, sex=None, yen=True, claims=[
        (1, 0, (5, 6, 10), "済", "眼科", "眼部", "休み時間", "弓道",
         "校舎内教室・実験自習室", (0, 1)),
        (2, 2, (9,), "済", "頭部外傷", "頭部", "学校行事中", "弓道",
         "校舎外運動場・校庭", (0,)),
    ]),
    dict(entry=2013, sex="女", yen=False, claims=[
        (1, 0, (5, 6, 11), "済", "突き指", "手・手指部", "部活中", "ﾊﾞﾚｰﾎﾞｰﾙ",
         "校舎内体育館・武道場", (0,)),
        (2, 1, (7, 8), "済", "捻挫", "足関節部", "部活中", "ﾊﾞﾚｰﾎﾞｰﾙ",
         "学校外体育館・屋内運動場", (0, 1, 2)),
    ]),
    dict(entry=2014, sex="男", yen=True, claims=[
        (1, 0, (10, 11), "済", "骨折", "鎖骨部", "通学中", "ラグビー",
         "学校外道路", (0, 1, 2, 3)),
        (2, 2, (5, 6), "未", "打撲", "大腿部・股関節", "部活中", "ラグビー",
         "校舎外運動場・校庭", (0, 1)),
    ]),
    dict(entry=2015, sex=None, yen=False, claims=[
        (1, 0, (7, 8), "未", "熱中症", "その他", "部活中", "ｿﾌﾄﾃﾆｽ",
         "校舎外体育施設等", (0,)),
    ]),
    dict(entry=2016, sex=None, yen=False, claims=[
        (1, 0, (5, 6, 7), "未", "打撲", "顎部", "昼休み", "サッカー",
         "校舎外その他", (0, 1)),
    ]),
]

# Today's students: the rosters of 令和6年度 to 令和8年度, living in school
# year 2026, and claims of injuries in 2025 and 2026.  They come from a random
# generator of their own, so the 平成 files stay as they were.
REIWA_SEED = 20260401
REIWA_ENTRY_YEARS = (2024, 2025, 2026)
REIWA_LIVES_IN = 2026
REIWA_STORIES = [
    dict(entry=2024, sex="女", yen=False, claims=[
        (1, 1, (5, 6, 9), "済", "捻挫", "足関節部", "部活中", "ﾊﾞｽｹｯﾄﾎﾞｰﾙ",
         "校舎内体育館・武道場", (0, 1)),
        (2, 2, (6, 7), "未", "骨折", "手・手指部", "部活中", "ﾊﾞｽｹｯﾄﾎﾞｰﾙ",
         "学校外体育館・屋内運動場", (0, 1, 2)),
    ]),
    dict(entry=2025, sex="男", yen=False, claims=[
        (1, 0, (6, 7, 10), "済", "打撲", "膝部", "部活中", "サッカー",
         "校舎外運動場・校庭", (0,)),
    ]),
    dict(entry=2026, sex=None, yen=False, claims=[
        (1, 0, (5, 6, 9), "未", "熱中症", "その他", "学校行事中", "陸上競技",
         "校舎外運動場・校庭", (0, 1)),
    ]),
]

# Situations that happen on school days with lessons only (Monday to Friday).
WEEKDAY_ONLY = {"授業前", "授業中", "休み時間", "昼休み", "掃除中", "放課後", "通学中"}



# ---------------------------------------------------------------------------
# A small reader for the YAML of the name and address lists: nested mappings
# ("key:" alone on its line) whose leaves are lists of flow sequences
# ("- ['a', 'b', 'c', 'd']").  Nothing more of YAML is needed.

def parse_flow_sequence(text):
    """['a', "b", c] -> ['a', 'b', 'c'] (quotes optional, '' inside '...')."""
    text = text.strip()
    if not (text.startswith("[") and text.endswith("]")):
        raise ValueError("not a flow sequence: " + text)
    body, items, i = text[1:-1], [], 0
    n = len(body)
    while i < n:
        while i < n and body[i] in " \t":
            i += 1
        if i >= n:
            break
        quote = body[i] if body[i] in "'\"" else None
        if quote:
            i += 1
            buf = []
            while True:
                if i >= n:
                    raise ValueError("unterminated quote: " + text)
                c = body[i]
                if quote == "'" and c == "'" and body[i + 1:i + 2] == "'":
                    buf.append("'")
                    i += 2
                elif quote == '"' and c == "\\" and i + 1 < n:
                    buf.append({"n": "\n", "t": "\t"}.get(body[i + 1], body[i + 1]))
                    i += 2
                elif c == quote:
                    i += 1
                    break
                else:
                    buf.append(c)
                    i += 1
            items.append("".join(buf))
        else:
            j = body.find(",", i)
            j = n if j < 0 else j
            items.append(body[i:j].strip())
            i = j
        while i < n and body[i] in " \t":
            i += 1
        if i < n:
            if body[i] != ",":
                raise ValueError("expected ',' in: " + text)
            i += 1
    return items


class _Node:
    def __init__(self):
        self.keys = {}
        self.items = []

    def value(self):
        if self.items and self.keys:
            raise ValueError("a key holds both a list and a mapping")
        if self.keys:
            return {k: v.value() for k, v in self.keys.items()}
        return self.items


def load_simple_yaml(path):
    root = _Node()
    stack = [(-1, root)]
    with open(path, encoding="utf-8") as f:
        for lineno, raw in enumerate(f, 1):
            line = raw.rstrip("\r\n")
            stripped = line.strip()
            if not stripped or stripped.startswith("#") or stripped == "---":
                continue
            indent = len(line) - len(line.lstrip(" "))
            while indent <= stack[-1][0]:
                stack.pop()
            node = stack[-1][1]
            if stripped.startswith("- "):
                node.items.append(parse_flow_sequence(stripped[2:]))
            elif stripped.endswith(":"):
                child = _Node()
                node.keys[stripped[:-1].strip().strip("'\"")] = child
                stack.append((indent, child))
            else:
                raise ValueError(f"{path}:{lineno}: cannot read: {stripped}")
    return root.value()


# ---------------------------------------------------------------------------
# Source lists

def load_city_prefectures(data_dir):
    """City name -> prefecture, from the postal-code list if it is there."""
    path = Path(data_dir) / "ken_all.zip"
    if not path.is_file():
        return None
    result = {}
    with zipfile.ZipFile(path) as z:
        member = next(n for n in z.namelist() if n.upper().endswith(".CSV"))
        with z.open(member) as raw:
            for line in io.TextIOWrapper(raw, encoding=ENCODING, newline=""):
                fields = line.rstrip("\r\n").split(",")
                if len(fields) > 7:
                    pref, city = fields[6].strip('"'), fields[7].strip('"')
                    result.setdefault(city, pref)
    return result


def is_kanji(ch):
    return "\u4e00" <= ch <= "\u9fff" or ch in "々"


def has_yen_trail(text):
    """True if some character's Shift-JIS second byte is 0x5C ('\\')."""
    for ch in text:
        b = ch.encode(ENCODING)
        if len(b) == 2 and b[1] == 0x5C:
            return True
    return False


class Sources:
    def __init__(self, data_dir, rng):
        names = load_simple_yaml(Path(data_dir) / "gimei_names.yml")
        addresses = load_simple_yaml(Path(data_dir) / "gimei_addresses.yml")["addresses"]
        self.male = [(k, h) for k, h, *_ in names["first_name"]["male"]]
        self.female = [(k, h) for k, h, *_ in names["first_name"]["female"]]
        self.family = [(k, h) for k, h, *_ in names["last_name"]]
        # The family list runs from common to rare: weight it that way.
        self.family_weights = [1.0 / (rank + 30) for rank in range(len(self.family))]
        prefectures = [p[0] for p in addresses["prefecture"]]
        cities = [c[0] for c in addresses["city"]]
        towns = [t[0] for t in addresses["town"]]

        city_pref = load_city_prefectures(data_dir)
        by_pref = {}
        for city in cities:
            pref = city_pref.get(city) if city_pref is not None else rng.choice(prefectures)
            if pref:
                by_pref.setdefault(pref, []).append(city)
        self.by_pref = by_pref
        big = sorted(p for p, cs in by_pref.items() if len(cs) >= 20)
        self.home_pref = rng.choice(big)
        home_cities = sorted(by_pref[self.home_pref])
        self.near_cities = rng.sample(home_cities, min(12, len(home_cities)))
        self.home_cities = home_cities
        self.towns = [t for t in towns if "," not in t]

        # Junior high schools: a stem of two or three kanji + 中学校.
        stems = []
        for t in towns:
            stem = t[:-1] if t[-1] in "町村" and len(t) >= 3 else t
            if 2 <= len(stem) <= 3 and all(is_kanji(c) for c in stem):
                stems.append(stem)
        stems = sorted(set(stems))
        self.junior_highs = [s + "中学校" for s in rng.sample(stems, 28)]
        self.junior_high_weights = [1.0 / (i + 3) for i in range(len(self.junior_highs))]

    def address(self, rng):
        r = rng.random()
        if r < 0.90:
            pref, city = self.home_pref, rng.choice(self.near_cities)
        elif r < 0.98:
            pref, city = self.home_pref, rng.choice(self.home_cities)
        else:
            pref = rng.choice(sorted(self.by_pref))
            city = rng.choice(self.by_pref[pref])
        town = rng.choice(self.towns)
        if rng.random() < 0.6:
            block = f"{rng.randint(1, 5)}-{rng.randint(1, 30)}-{rng.randint(1, 20)}"
        else:
            block = f"{rng.randint(1, 2999)}-{rng.randint(1, 12)}"
        return pref + city + town + block


# ---------------------------------------------------------------------------
# Rosters

def heisei(year):
    return year - 1988


def make_roster(entry, src, rng, id_prefix=None, lives_in=LAST_ENTRY_YEAR):
    """Students of one entry year, in ID order, as dicts.  IDs begin with
    id_prefix (the 平成 year by default); classes of school years after
    lives_in stay empty."""
    students = []
    seen = set()
    for cls in range(1, CLASSES + 1):
        for _ in range(rng.randint(38, 41)):
            while True:
                sex = rng.choice("男女")
                given = rng.choice(src.male if sex == "男" else src.female)
                family = rng.choices(src.family, src.family_weights)[0]
                if (family[0], given[0]) not in seen:
                    break
            seen.add((family[0], given[0]))
            while True:
                g_list = src.male if rng.random() < 0.7 else src.female
                guardian = rng.choice(g_list)
                if guardian[0] != given[0]:
                    break
            first = datetime.date(entry - 16, 4, 2)
            last = datetime.date(entry - 15, 4, 1)
            born = first + datetime.timedelta(days=rng.randint(0, (last - first).days))
            students.append(dict(
                family=family, given=given, sex=sex, guardian=guardian[0],
                class1=cls,
                course="理数科" if cls == SCIENCE_CLASS else "普通科",
                junior_high=rng.choices(src.junior_highs, src.junior_high_weights)[0],
                born=born,
                address=src.address(rng),
            ))
    # Attendance numbers follow the reading within each first-year class.
    students.sort(key=lambda s: (s["class1"], s["family"][1], s["given"][1]))
    era = str(heisei(entry)) if id_prefix is None else id_prefix
    for seq, s in enumerate(students, 1):
        s["id"] = f"{era}{seq:03d}"
        s["name"] = s["family"][0] + "\u3000" + s["given"][0]
        s["furigana"] = s["family"][1] + "\u3000" + s["given"][1]
        s["guardian"] = s["family"][0] + "\u3000" + s["guardian"]
        s["class2"] = s["class3"] = None
    # Classes are mixed again for the second and third year (the science
    # class stays together); years not reached yet stay empty.
    for grade, key in ((2, "class2"), (3, "class3")):
        if entry + grade - 1 > lives_in:
            continue
        general = [s for s in students if s["course"] == "普通科"]
        rng.shuffle(general)
        per = CLASSES - 1
        for i, s in enumerate(general):
            s[key] = i * per // len(general) + 1
        for s in students:
            if s["course"] != "普通科":
                s[key] = SCIENCE_CLASS
    return students


def roster_line(s):
    def cls(grade, key):
        return f"{grade}-{s[key]}" if s[key] else ""
    b = s["born"]
    fields = [s["id"], cls(3, "class3"), cls(2, "class2"), cls(1, "class1"),
              s["name"], s["furigana"], s["guardian"], s["junior_high"], s["sex"],
              s["course"], f"H{heisei(b.year)}.{b.month}.{b.day}", s["address"]]
    for f in fields:
        if "," in f or "\r" in f or "\n" in f:
            raise ValueError("bad roster field: " + f)
    return ",".join(fields)


# ---------------------------------------------------------------------------
# Claims

def pick_date(rng, year, months, situation):
    while True:
        month = rng.choice(months)
        day = rng.randint(1, 31)
        try:
            d = datetime.date(year, month, day)
        except ValueError:
            continue
        wd = d.weekday()
        if wd == 6:
            continue
        if situation in WEEKDAY_ONLY and wd == 5:
            continue
        return d


def make_claims(rosters, rng, stories=CLAIM_STORIES,
                years=(FIRST_ENTRY_YEAR, LAST_ENTRY_YEAR)):
    """List of (file name, [15 text lines])."""
    files = []
    used = set()
    for story in stories:
        entry = story["entry"]
        pool = [s for s in rosters[entry]
                if (story["sex"] is None or s["sex"] == story["sex"])
                and s["id"] not in used]
        if story["yen"]:
            pool = [s for s in pool if has_yen_trail(s["name"])] or pool
        student = rng.choice(pool)
        used.add(student["id"])
        for (n, offset, months, creditor, injury, body, situation, club,
             place, treated) in story["claims"]:
            for value, allowed in ((injury, INJURIES), (body, BODY_PARTS),
                                   (situation, SITUATIONS), (club, CLUBS),
                                   (place, PLACES)):
                if value not in allowed and value not in TYPED_VALUES:
                    raise ValueError("unexpected header value: " + value)
            year = entry + offset
            if not years[0] <= year <= years[1]:
                raise ValueError("claim year out of range")
            d = pick_date(rng, year, months, situation)
            header = [str(d.year), str(d.month), str(d.day), WEEKDAYS[d.weekday()],
                      creditor, injury, body, situation, club, place]
            marks = [[NOT_TREATED] * 12 for _ in range(13)]
            start = (d.month - 4) % 12
            for off in treated:
                pos = start + off
                marks[pos // 12][pos % 12] = TREATED
            stem = f"請{student['id']}-{n}"
            lines = [",".join([stem, student["name"], student["sex"]]),
                     ",".join(header)]
            for r in range(13):
                row = [str(d.year + r)]
                for k in range(12):
                    row += [marks[r][k], MONTH_LABELS[k]]
                lines.append(",".join(row))
            files.append((stem + ".CSV", lines))
    return files


# ---------------------------------------------------------------------------
# Writing and checking

def encode_lines(lines):
    return b"".join(line.encode(ENCODING) + CRLF for line in lines)


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def roster_name(entry):
    return f"H{heisei(entry)}入学.CSV"


def reiwa(year):
    return year - 2018


def reiwa_roster_name(entry):
    return f"R{reiwa(entry):02d}入学.CSV"


def make_reiwa_rosters(src):
    """Today's rosters and their claims, from their own random generator."""
    rng = random.Random(REIWA_SEED)
    rosters = {entry: make_roster(entry, src, rng, f"{reiwa(entry):02d}", REIWA_LIVES_IN)
               for entry in REIWA_ENTRY_YEARS}
    claims = make_claims(rosters, rng, REIWA_STORIES,
                         (REIWA_ENTRY_YEARS[0], REIWA_LIVES_IN))
    return rosters, claims


def roster_files():
    """(entry year, file name, ID prefix, school year it lives in) of every roster."""
    heisei_files = [(e, roster_name(e), str(heisei(e)), LAST_ENTRY_YEAR)
                    for e in range(FIRST_ENTRY_YEAR, LAST_ENTRY_YEAR + 1)]
    reiwa_files = [(e, reiwa_roster_name(e), f"{reiwa(e):02d}", REIWA_LIVES_IN)
                   for e in REIWA_ENTRY_YEARS]
    return heisei_files + reiwa_files


def split_crlf(data, what):
    if not data.endswith(CRLF):
        raise AssertionError(f"{what}: last line not ended by CR LF")
    lines = data[:-2].split(CRLF)
    for i, line in enumerate(lines, 1):
        if b"\r" in line or b"\n" in line:
            raise AssertionError(f"{what}:{i}: stray CR or LF")
    return lines


def decode_exact(line, what):
    text = line.decode(ENCODING)
    if text.encode(ENCODING) != line:
        raise AssertionError(f"{what}: Shift-JIS round trip differs")
    return text


def verify(out_dir):
    """Read everything back from disk; return a dict of findings."""
    out_dir = Path(out_dir)
    ids = {}
    students = 0
    yen_names = []
    for entry, name, id_prefix, lives_in in roster_files():
        path = out_dir / name
        lines = split_crlf(path.read_bytes(), path.name)
        if decode_exact(lines[0], path.name) != ROSTER_HEADER:
            raise AssertionError(f"{path.name}: header line")
        for i, line in enumerate(lines[1:], 2):
            what = f"{path.name}:{i}"
            if line.count(b",") != 11:
                raise AssertionError(f"{what}: {line.count(b',')} commas")
            f = decode_exact(line, what).split(",")
            if f[0] in ids:
                raise AssertionError(f"{what}: ID {f[0]} used twice")
            if not f[0].isdigit() or not f[0].startswith(id_prefix):
                raise AssertionError(f"{what}: ID {f[0]}")
            if f[8] not in ("男", "女") or "\u3000" not in f[4] or "\u3000" not in f[5]:
                raise AssertionError(f"{what}: name or sex")
            ids[f[0]] = (entry, f[4], f[8], lives_in)
            students += 1
            if has_yen_trail(f[4]):
                yen_names.append(f[4])
    claims = []
    on_list = typed = 0
    seikyu = out_dir / "seikyu"
    for path in sorted(seikyu.iterdir()):
        what = "seikyu/" + path.name
        if not (path.name.startswith("請") and path.name.endswith(".CSV")):
            raise AssertionError(f"{what}: unexpected file")
        data = path.read_bytes()
        lines = [decode_exact(l, what) for l in split_crlf(data, what)]
        if len(lines) != 15:
            raise AssertionError(f"{what}: {len(lines)} lines")
        fields = [l.split(",") for l in lines]
        counts = [len(f) for f in fields]
        if counts != [3, 10] + [25] * 13:
            raise AssertionError(f"{what}: field counts {counts}")
        stem = path.name[:-4]
        if fields[0][0] != stem:
            raise AssertionError(f"{what}: line 1 names {fields[0][0]}")
        sid, n = stem[1:].split("-")
        if sid not in ids or not n.isdigit() or not 1 <= int(n) <= 8:
            raise AssertionError(f"{what}: unknown student or occurrence")
        entry, name, sex, lives_in = ids[sid]
        if fields[0][1:] != [name, sex]:
            raise AssertionError(f"{what}: name or sex differs from the roster")
        h = fields[1]
        d = datetime.date(int(h[0]), int(h[1]), int(h[2]))
        if not entry <= d.year <= min(entry + 2, lives_in):
            raise AssertionError(f"{what}: year outside the student's school years")
        if h[3] != WEEKDAYS[d.weekday()] or h[4] not in ("未", "済"):
            raise AssertionError(f"{what}: weekday or creditor")
        for value, allowed in zip(h[5:], (INJURIES, BODY_PARTS, SITUATIONS, CLUBS, PLACES)):
            if value in allowed:
                on_list += 1
            else:
                typed += 1
        treated = 0
        for r, row in enumerate(fields[2:]):
            if row[0] != str(d.year + r):
                raise AssertionError(f"{what}: row {r + 1} year")
            for k in range(12):
                mark, label = row[1 + 2 * k], row[2 + 2 * k]
                if label != MONTH_LABELS[k]:
                    raise AssertionError(f"{what}: row {r + 1} label {k + 1}")
                if mark not in (NOT_TREATED, TREATED):
                    raise AssertionError(f"{what}: row {r + 1} mark {k + 1}")
                treated += mark == TREATED
        if data.count(b"\x81\x7c") + data.count(b"\x81\x9d") != 13 * 12:
            raise AssertionError(f"{what}: marks are not the bytes 81 7C / 81 9D")
        claims.append((path.name, len(data), treated))
    return dict(students=students, ids=len(ids), yen_names=yen_names,
                claims=claims, on_list=on_list, typed=typed)


def clear_old_output(out_dir):
    for pattern in ("H*入学.CSV", "R*入学.CSV"):
        for p in out_dir.glob(pattern):
            p.unlink()
    seikyu = out_dir / "seikyu"
    if seikyu.is_dir():
        for p in seikyu.glob("請*.CSV"):
            p.unlink()


def main(argv=None):
    here = Path(__file__).resolve().parent
    repo = here.parent
    parser = argparse.ArgumentParser(description="Build Kiboru's demo working folder.")
    parser.add_argument("data_dir", nargs="?", default=str(repo.parent / "shared" / "data"),
                        help="folder with gimei_names.yml and gimei_addresses.yml "
                             "(default: ../shared/data beside the repository)")
    parser.add_argument("--out", default=str(here / "data"),
                        help="folder to write (default: demo/data)")
    args = parser.parse_args(argv)

    assert NOT_TREATED.encode(ENCODING) == b"\x81\x7c"
    assert TREATED.encode(ENCODING) == b"\x81\x9d"
    for label in MONTH_LABELS:
        assert len(label.encode(ENCODING)) == 4

    rng = random.Random(SEED)
    src = Sources(args.data_dir, rng)
    rosters = {entry: make_roster(entry, src, rng)
               for entry in range(FIRST_ENTRY_YEAR, LAST_ENTRY_YEAR + 1)}
    claims = make_claims(rosters, rng)
    reiwa_rosters, reiwa_claims = make_reiwa_rosters(src)

    out_dir = Path(args.out)
    (out_dir / "seikyu").mkdir(parents=True, exist_ok=True)
    clear_old_output(out_dir)
    for entry, students in rosters.items():
        lines = [ROSTER_HEADER] + [roster_line(s) for s in students]
        write_bytes(out_dir / roster_name(entry), encode_lines(lines))
    for entry, students in reiwa_rosters.items():
        lines = [ROSTER_HEADER] + [roster_line(s) for s in students]
        write_bytes(out_dir / reiwa_roster_name(entry), encode_lines(lines))
    for name, lines in claims + reiwa_claims:
        write_bytes(out_dir / "seikyu" / name, encode_lines(lines))

    found = verify(out_dir)
    print(f"school's prefecture: {src.home_pref}")
    all_rosters = {**rosters, **reiwa_rosters}
    for entry, name, _, _ in roster_files():
        p = out_dir / name
        print(f"{p.name}: {len(all_rosters[entry])} students, {p.stat().st_size} bytes")
    print(f"students: {found['students']} (IDs unique: {found['ids']}); "
          f"names with a 0x5C trail byte: {len(found['yen_names'])}, "
          f"e.g. {', '.join(found['yen_names'][:4])}")
    for name, size, treated in found["claims"]:
        print(f"seikyu/{name}: {size} bytes, {treated} months treated")
    print(f"claim files: {len(found['claims'])}; header values on the lists: "
          f"{found['on_list']}, typed: {found['typed']}")
    print("checks passed: CR LF lines, Shift-JIS round trip, 11 commas per roster line, "
          "15 lines of 3/10/25 fields per claim, marks 81 7C / 81 9D")
    return 0


if __name__ == "__main__":
    sys.exit(main())
