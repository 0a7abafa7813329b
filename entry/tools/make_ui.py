#!/usr/bin/env python3
"""Writes the Qt Designer layouts of the entry window and its two dialogs.

    python3 entry/tools/make_ui.py        (from the repository's top folder)

The layouts are kept here as tables, one row per control, in the window's own
terms: positions in pixels at 96 dpi, fonts as pixel sizes, colours as
RGB. The .ui files it writes (SeiKyuImp.ui, SelectSeito.ui, Tkaisuu.ui) are
what the build uses; edit the tables and run it again rather than editing the
.ui files by hand, or edit them in Designer and stop using this script.

Window sizes are given as outer sizes. The client area is the
outer size less the 4-pixel frame on each side and the 19-pixel caption of
the frame the windows were laid out for (8 pixels wide, 27 high): that is the
frame in which the layout's full-width panels (913 pixels in a 922-pixel window)
fit exactly.
"""

import os
import xml.etree.ElementTree as ET

FRAME_WIDTH = 8
FRAME_HEIGHT = 27

GOTHIC = "ＭＳ Ｐゴシック"
MINCHO = "ＭＳ Ｐ明朝"
MARU = "HG丸ｺﾞｼｯｸM-PRO"

BUTTON_FACE = "#F0F0F0"
GRAY_TEXT = "#808080"
ACTIVE_BORDER = "#B4B4B4"
WINDOW_TEXT = "#000000"
BLACK = "#000000"
NAVY = "#000080"
GREEN = "#008000"
MAROON = "#800000"
PURPLE = "#800080"
RED = "#FF0000"
BLUE = "#0000FF"
SILVER = "#C0C0C0"
LIGHT_GREEN = "#BBDDBB"
LIGHT_CYAN = "#DDFFFF"
ROSE = "#EEAAAA"


def look(px, bold=False, family=GOTHIC, color=None, background=None):
    """A control's own style sheet: its font, text colour and background."""
    weight = "bold " if bold else ""
    parts = [f'font: {weight}{px}px "{family}";']
    if color:
        parts.append(f"color: {color};")
    if background:
        parts.append(f"background-color: {background};")
    return " ".join(parts)


def window_look(name):
    """The window's default font and its button-face background. Controls'
    own style sheets take precedence over these rules."""
    return (f'QWidget {{ font: 12px "{GOTHIC}"; }} '
            f"#{name} {{ background-color: {BUTTON_FACE}; }}")


# ---------------------------------------------------------------- controls --
# Each returns (class, name, properties, extra children); properties are
# (name, kind, value) triples written in this order.

def label(name, rect, text, style, align="Qt::AlignCenter"):
    """Static text with a sunken border."""
    return ("QLabel", name, [
        ("geometry", "rect", rect),
        ("styleSheet", "string", style),
        ("frameShape", "enum", "QFrame::Panel"),
        ("frameShadow", "enum", "QFrame::Sunken"),
        ("text", "string", text),
        ("alignment", "set", align),
    ], [])


def left_label(name, rect, text, style):
    return label(name, rect, text, style,
                 "Qt::AlignLeading|Qt::AlignLeft|Qt::AlignVCenter")


def static_text(name, rect, text, style):
    """Static text without a border."""
    return ("QLabel", name, [
        ("geometry", "rect", rect),
        ("styleSheet", "string", style),
        ("text", "string", text),
    ], [])


def combo(name, rect, items, style):
    """Editable drop-down list: items in this order, eight shown at once."""
    return ("forms::ComboBox", name, [
        ("geometry", "rect", rect),
        ("styleSheet", "string", style),
        ("editable", "bool", "true"),
        ("maxVisibleItems", "number", "8"),
        ("insertPolicy", "enum", "QComboBox::NoInsert"),
    ], [("item", text) for text in items])


def edit(name, rect, style):
    return ("QLineEdit", name, [
        ("geometry", "rect", rect),
        ("styleSheet", "string", style),
    ], [])


def button(name, rect, text, style):
    # No button of these windows is a default button: Enter in a field
    # presses nothing.
    return ("QPushButton", name, [
        ("geometry", "rect", rect),
        ("styleSheet", "string", style),
        ("text", "string", text),
        ("autoDefault", "bool", "false"),
    ], [])


def radio(name, rect, text, style):
    # Only the selected button of a group takes the focus by Tab. Qt gives
    # the tab focus to the button that last had the focus and takes it from
    # the others, but until then it would stop at every button of the group.
    return ("QRadioButton", name, [
        ("geometry", "rect", rect),
        ("styleSheet", "string", style),
        ("focusPolicy", "enum", "Qt::ClickFocus"),
        ("text", "string", text),
    ], [])


def list_box(name, rect, style, line_height, visible=True):
    props = [
        ("geometry", "rect", rect),
        ("styleSheet", "string", style),
        ("lineHeight", "number", str(line_height)),
    ]
    if not visible:
        props.append(("visible", "bool", "false"))
    return ("forms::ListBox", name, props, [])


def panel(name, rect, background, children):
    """Raised panel; its colour is set for the panel alone, not its children."""
    return ("QFrame", name, [
        ("geometry", "rect", rect),
        ("styleSheet", "string", f"#{name} {{ background-color: {background}; }}"),
        ("frameShape", "enum", "QFrame::Panel"),
        ("frameShadow", "enum", "QFrame::Raised"),
    ], [("widget", child) for child in children])


# ------------------------------------------------------------ choice lists --

ENTRY_YEARS = [f"平成{y}年度" for y in range(20, 29)]
YEARS = [str(y) for y in range(2008, 2031)]
MONTHS = [str(m) for m in range(1, 13)]
DAYS = [str(d) for d in range(1, 32)]
WEEKDAYS = ["日", "月", "火", "水", "木", "金", "土"]
CREDITOR = ["未", "済"]
OCCURRENCES = [str(n) for n in range(1, 9)]
INJURIES = ["打撲", "捻挫", "骨折", "挫傷・裂傷", "靱帯損傷", "眼科", "歯科",
            "頭部外傷", "その他"]
BODY_PARTS = ["頭部", "前額部", "眼部", "頬部", "耳部", "鼻部", "口部", "歯部",
              "顎部", "頸部", "肩部", "胸部（含内臓損傷）", "腹部（含内臓損傷）",
              "背部", "腰部", "臀部", "上腕部", "肘部", "前腕部", "手関節部",
              "手・手指部", "大腿部・股関節", "膝部", "下腿部", "足関節部",
              "足・足指部", "その他"]
SITUATIONS = ["授業前", "授業中", "休み時間", "昼休み", "掃除中", "部活中",
              "放課後", "通学中", "学校行事中", "その他"]
CLUBS = ["弓道", "柔道", "剣道", "テニス", "ｿﾌﾄﾃﾆｽ", "卓球", "登山", "陸上競技",
         "野球", "ダンス", "ﾊﾞﾄﾞﾐﾝﾄﾝ", "ﾊﾞｽｹｯﾄﾎﾞｰﾙ", "ホッケー", "ﾊﾞﾚｰﾎﾞｰﾙ",
         "ﾊﾝﾄﾞﾎﾞｰﾙ", "サッカー", "生物", "物理", "地学", "化学", "美術",
         "吹奏楽", "コーラス", "ｷﾞﾀｰﾏﾝﾄﾞﾘﾝ", "書道", "茶道", "華道", "演劇",
         "写真", "新聞", "放送", "文芸", "地歴", "英語", "ＪＲＣ", "囲碁将棋",
         "弦楽", "総合活動", "ＶＹＳ", "応援団", "パソコン", "数学", "その他"]
PLACES = ["校舎内教室・実験自習室", "校舎内体育館・武道場",
          "校舎内廊下・昇降口・階段", "校舎内その他", "校舎外運動場・校庭",
          "校舎外体育施設等", "校舎外その他", "学校外道路", "学校外運動場",
          "学校外体育館・屋内運動場", "学校外その他"]

MONTH_CAPTIONS = ["　４月　", "　５月　", "　６月　", "　７月　", "　８月　",
                  "　９月　", "１０月　", "１１月　", "１２月　", "　１月　",
                  "　２月　", "　３月　"]

# ----------------------------------------------------------- entry window --

def search_panel():
    return panel("Panel1", (0, 0, 913, 90), GRAY_TEXT, [
        label("StaticText1", (12, 26, 364, 33), "スポーツ振興センター請求",
              look(29, True, MARU, GREEN, ACTIVE_BORDER)),
        label("StaticText2", (392, 8, 104, 28), "入学年度",
              look(24, True, color=MAROON, background=BUTTON_FACE)),
        combo("ComboBox1", (592, 8, 121, 24), ENTRY_YEARS,
              look(16, True, color=WINDOW_TEXT)),
        left_label("StaticText3", (392, 50, 190, 28), "しめい（ふりがな）",
                   look(24, True, color=MAROON, background=BUTTON_FACE)),
        edit("Edit1", (592, 50, 201, 24), look(16, color=WINDOW_TEXT)),
        button("BitBtn1", (808, 50, 78, 33), "検　索", look(19, True, color=RED)),
        button("BitBtn3", (808, 8, 78, 32), " 終 了 ",
               look(19, True, MINCHO, WINDOW_TEXT)),
    ])


STUDENT_FIELDS = [  # label, label text, label rect, label colour, field, field rect
    ("StaticText4", " ID番号 ", (24, 16, 60, 20), NAVY, "Edit2", (112, 16, 81, 24)),
    ("StaticText5", "３年クラス", (24, 56, 71, 20), GREEN, "Edit3", (112, 56, 65, 24)),
    ("StaticText6", "２年クラス", (24, 96, 71, 20), GREEN, "Edit4", (112, 96, 65, 24)),
    ("StaticText7", "１年クラス", (24, 136, 71, 20), GREEN, "Edit5", (112, 136, 65, 24)),
    ("StaticText8", "　氏　 名　", (232, 16, 74, 20), NAVY, "Edit6", (328, 16, 145, 24)),
    ("StaticText9", " ふりがな ", (232, 56, 72, 20), NAVY, "Edit7", (328, 56, 201, 24)),
    ("StaticText10", " 保 護 者 ", (232, 96, 72, 20), NAVY, "Edit8", (328, 96, 145, 24)),
    ("StaticText11", "出身中学校", (232, 136, 84, 20), NAVY, "Edit9", (328, 136, 89, 24)),
    ("StaticText12", "  性　　別  ", (232, 176, 78, 20), NAVY, "Edit10", (328, 176, 73, 24)),
    ("StaticText13", "　学　　科 　", (552, 16, 85, 20), NAVY, "Edit11", (656, 16, 97, 24)),
    ("StaticText14", "　生年月日 ", (552, 56, 84, 20), NAVY, "Edit12", (656, 56, 145, 24)),
    ("StaticText15", "　住　　所　", (552, 112, 80, 20), NAVY, "Edit13", (552, 144, 289, 24)),
]


def student_panel():
    children = []
    for name, text, rect, colour, field, field_rect in STUDENT_FIELDS:
        children.append(label(name, rect, text, look(16, color=colour, background=BUTTON_FACE)))
        children.append(edit(field, field_rect, look(16, True, color=NAVY)))
    return panel("Panel2", (0, 90, 913, 215), LIGHT_GREEN, children)


def claim_label(name, rect, text, color, bold=True, background=BUTTON_FACE):
    return label(name, rect, text, look(19, bold, color=color, background=background))


def unit_text(name, rect, text, color):
    return static_text(name, rect, text, look(19, True, color=color))


def claim_combo(name, rect, items, color, px=16):
    return combo(name, rect, items, look(px, True, color=color))


def field(name, rect):
    return edit(name, rect, look(16, True, color=NAVY))


def claim_area():
    controls = [
        claim_label("StaticText16", (8, 312, 65, 23), " ID番号", WINDOW_TEXT, bold=False),
        field("Edit14", (80, 312, 81, 24)),
        claim_label("StaticText17", (174, 312, 67, 23), " 氏　名 ", WINDOW_TEXT, bold=False),
        field("Edit15", (248, 312, 161, 24)),
        claim_label("StaticText26", (418, 312, 79, 23), "  性　別  ", BLACK, bold=False),
        field("Edit16", (504, 312, 57, 24)),
        claim_label("StaticText28", (600, 314, 98, 23), " 受傷回数 ", BLUE, background=SILVER),
        claim_combo("ComboBox12", (712, 312, 57, 27), OCCURRENCES, GREEN, px=19),
        button("BitBtn2", (792, 312, 80, 30), " 保　存 ", look(19, True, color=GREEN)),
        claim_label("StaticText18", (8, 352, 64, 23), "受傷日", PURPLE, background=LIGHT_CYAN),
        claim_combo("ComboBox2", (80, 352, 81, 24), YEARS, PURPLE),
        unit_text("StaticText19", (160, 354, 24, 23), "年", PURPLE),
        claim_combo("ComboBox3", (184, 352, 49, 24), MONTHS, PURPLE),
        unit_text("StaticText20", (233, 354, 24, 23), "月", PURPLE),
        claim_combo("ComboBox4", (256, 352, 49, 24), DAYS, PURPLE),
        unit_text("StaticText21", (306, 354, 24, 23), "日", PURPLE),
        claim_combo("ComboBox5", (328, 352, 49, 24), WEEKDAYS, GREEN),
        unit_text("StaticText30", (378, 354, 24, 23), "曜", GREEN),
        claim_label("StaticText27", (408, 352, 104, 23), "債権者登録", BLACK, background=ROSE),
        claim_combo("ComboBox11", (520, 352, 49, 24), CREDITOR, RED),
        claim_label("StaticText29", (584, 352, 78, 23), " 場所別 ", PURPLE),
        claim_combo("ComboBox13", (672, 352, 225, 24), PLACES, NAVY),
        claim_label("StaticText22", (8, 394, 64, 23), "傷病名", PURPLE),
        claim_combo("ComboBox9", (80, 392, 129, 24), INJURIES, NAVY),
        claim_label("StaticText23", (214, 392, 72, 23), " 部　位 ", PURPLE),
        claim_combo("ComboBox6", (292, 392, 161, 24), BODY_PARTS, NAVY),
        claim_label("StaticText24", (460, 392, 78, 23), " 場合別 ", PURPLE),
        claim_combo("ComboBox7", (544, 392, 129, 24), SITUATIONS, NAVY),
        claim_label("StaticText25", (680, 392, 72, 23), " 部　名 ", PURPLE),
        claim_combo("ComboBox8", (760, 392, 137, 24), CLUBS, NAVY),
        claim_combo("ComboBox10", (32, 432, 81, 24), YEARS, NAVY),
    ]
    for k, caption in enumerate(MONTH_CAPTIONS, start=1):
        controls.append(radio(f"RadioButton{k}", (120 + 64 * (k - 1), 432, 57, 25), caption,
                              look(12, color=WINDOW_TEXT, background=GRAY_TEXT)))
    controls.append(list_box("ListBox1", (56, 472, 825, 193), look(19, color=NAVY), 19))
    return controls


ENTRY_TAB_ORDER = (
    ["ComboBox1", "Edit1", "BitBtn1", "BitBtn3"]
    + [f"Edit{n}" for n in range(2, 16)]
    + ["ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6",
       "ComboBox7", "ComboBox8"]
    + [f"RadioButton{k}" for k in range(1, 13)]
    + ["ListBox1", "ComboBox9", "Edit16", "ComboBox10", "BitBtn2",
       "ComboBox11", "ComboBox12", "ComboBox13"]
)


def entry_window():
    return dict(cls="TForm2", name="Form2", size=(922, 713), title="給付入力画面",
                controls=[search_panel(), student_panel()] + claim_area(),
                tab_order=ENTRY_TAB_ORDER)


# ---------------------------------------------------------------- dialogs --

def student_dialog():
    return dict(cls="TForm3", name="Form3", size=(633, 303), title="生徒選択", controls=[
        label("StaticText1", (48, 16, 276, 31), " 給付対象生徒の選択 ",
              look(27, True, MARU, GREEN)),
        button("BitBtn1", (376, 16, 81, 33), "選択決定", look(16, True, GOTHIC, NAVY)),
        button("BitBtn2", (496, 16, 81, 33), "終　了", look(19, True, MINCHO, WINDOW_TEXT)),
        list_box("ListBox2", (16, 72, 593, 185), look(16, color=NAVY), 16),
        list_box("ListBox1", (16, 56, 593, 9), look(16, color=NAVY), 16, visible=False),
    ], tab_order=["BitBtn1", "BitBtn2", "ListBox2"])


def occurrence_dialog():
    return dict(cls="TForm4", name="Form4", size=(290, 297), title="ファイル選択", controls=[
        label("StaticText1", (8, 16, 172, 25), " 受傷回数別選択 ", look(21, True)),
        button("BitBtn1", (192, 16, 73, 33), "決　定", look(19, True, color=BLUE)),
        list_box("ListBox1", (16, 56, 241, 193), look(21, color=WINDOW_TEXT), 21),
    ], tab_order=["BitBtn1", "ListBox1"])


# ---------------------------------------------------------------- writing --

def add_property(parent, name, kind, value):
    prop = ET.SubElement(parent, "property", name=name)
    if kind == "rect":
        rect = ET.SubElement(prop, "rect")
        for tag, v in zip(("x", "y", "width", "height"), value):
            ET.SubElement(rect, tag).text = str(v)
    elif kind == "string":
        ET.SubElement(prop, "string", notr="true").text = value
    else:
        ET.SubElement(prop, kind).text = value


def add_widget(parent, control):
    cls, name, props, extras = control
    widget = ET.SubElement(parent, "widget", {"class": cls, "name": name})
    for prop in props:
        add_property(widget, *prop)
    for kind, value in extras:
        if kind == "item":
            add_property(ET.SubElement(widget, "item"), "text", "string", value)
        else:
            add_widget(widget, value)


CUSTOM_WIDGETS = [
    ("forms::ComboBox", "QComboBox", "forms/ComboBox.h"),
    ("forms::ListBox", "QListView", "forms/ListBox.h"),
]


def used_classes(controls):
    for cls, _, _, extras in controls:
        yield cls
        yield from used_classes([v for k, v in extras if k == "widget"])


def layout(window):
    ui = ET.Element("ui", version="4.0")
    ET.SubElement(ui, "class").text = window["cls"]
    root = ET.SubElement(ui, "widget", {"class": "QDialog", "name": window["name"]})
    width, height = window["size"]
    add_property(root, "geometry", "rect", (0, 0, width - FRAME_WIDTH, height - FRAME_HEIGHT))
    add_property(root, "windowTitle", "string", window["title"])
    add_property(root, "styleSheet", "string", window_look(window["name"]))
    for control in window["controls"]:
        add_widget(root, control)
    used = set(used_classes(window["controls"]))
    customs = ET.SubElement(ui, "customwidgets")
    for cls, base, header in CUSTOM_WIDGETS:
        if cls in used:
            custom = ET.SubElement(customs, "customwidget")
            ET.SubElement(custom, "class").text = cls
            ET.SubElement(custom, "extends").text = base
            ET.SubElement(custom, "header").text = header
    tabstops = ET.SubElement(ui, "tabstops")
    for name in window["tab_order"]:
        ET.SubElement(tabstops, "tabstop").text = name
    ET.SubElement(ui, "resources")
    ET.SubElement(ui, "connections")
    ET.indent(ui, space=" ")
    return ET.tostring(ui, encoding="unicode")


def write(path, window):
    text = '<?xml version="1.0" encoding="UTF-8"?>\n' + layout(window) + "\n"
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    entry_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    write(os.path.join(entry_dir, "SeiKyuImp.ui"), entry_window())
    write(os.path.join(entry_dir, "SelectSeito.ui"), student_dialog())
    write(os.path.join(entry_dir, "Tkaisuu.ui"), occurrence_dialog())


if __name__ == "__main__":
    main()
