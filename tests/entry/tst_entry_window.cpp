// The entry window as laid out: every control in its place with its text,
// font and colours, the fixed choice lists, the tab order and the keys that
// must not end the window.
#include "files/ShiftJis.h"
#include "entry/SeiKyuImp.h"
#include "forms/InputMode.h"
#include "tests/entry/LayoutCheck.h"
#include "tests/support/TestMain.h"

#include <QSignalSpy>

#include <algorithm>

using layoutcheck::Control;
using layoutcheck::kGothic;
using layoutcheck::kMaru;
using layoutcheck::kMincho;

namespace {

const char* const kFace = "#F0F0F0";

// The fixed layout of the entry window; positions are within the parent.
const Control kControls[] = {
    {"Panel1", "panel", "Form2", {0, 0, 913, 90}, "", 12, false, kGothic, "", "#808080"},
    {"StaticText1", "label", "Panel1", {12, 26, 364, 33}, "スポーツ振興センター請求", 29, true, kMaru, "#008000", "#B4B4B4"},
    {"StaticText2", "label", "Panel1", {392, 8, 104, 28}, "入学年度", 24, true, kGothic, "#800000", kFace},
    {"ComboBox1", "combo", "Panel1", {592, 8, 121, 24}, "", 16, true, kGothic, "#000000", ""},
    {"StaticText3", "left label", "Panel1", {392, 50, 190, 28}, "しめい（ふりがな）", 24, true, kGothic, "#800000", kFace},
    {"Edit1", "edit", "Panel1", {592, 50, 201, 24}, "", 16, false, kGothic, "#000000", ""},
    {"BitBtn1", "button", "Panel1", {808, 50, 78, 33}, "検　索", 19, true, kGothic, "#FF0000", ""},
    {"BitBtn3", "button", "Panel1", {808, 8, 78, 32}, " 終 了 ", 19, true, kMincho, "#000000", ""},
    {"Panel2", "panel", "Form2", {0, 90, 913, 215}, "", 12, false, kGothic, "", "#BBDDBB"},
    {"StaticText4", "label", "Panel2", {24, 16, 60, 20}, " ID番号 ", 16, false, kGothic, "#000080", kFace},
    {"Edit2", "edit", "Panel2", {112, 16, 81, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText5", "label", "Panel2", {24, 56, 71, 20}, "３年クラス", 16, false, kGothic, "#008000", kFace},
    {"Edit3", "edit", "Panel2", {112, 56, 65, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText6", "label", "Panel2", {24, 96, 71, 20}, "２年クラス", 16, false, kGothic, "#008000", kFace},
    {"Edit4", "edit", "Panel2", {112, 96, 65, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText7", "label", "Panel2", {24, 136, 71, 20}, "１年クラス", 16, false, kGothic, "#008000", kFace},
    {"Edit5", "edit", "Panel2", {112, 136, 65, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText8", "label", "Panel2", {232, 16, 74, 20}, "　氏　 名　", 16, false, kGothic, "#000080", kFace},
    {"Edit6", "edit", "Panel2", {328, 16, 145, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText9", "label", "Panel2", {232, 56, 72, 20}, " ふりがな ", 16, false, kGothic, "#000080", kFace},
    {"Edit7", "edit", "Panel2", {328, 56, 201, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText10", "label", "Panel2", {232, 96, 72, 20}, " 保 護 者 ", 16, false, kGothic, "#000080", kFace},
    {"Edit8", "edit", "Panel2", {328, 96, 145, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText11", "label", "Panel2", {232, 136, 84, 20}, "出身中学校", 16, false, kGothic, "#000080", kFace},
    {"Edit9", "edit", "Panel2", {328, 136, 89, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText12", "label", "Panel2", {232, 176, 78, 20}, "  性　　別  ", 16, false, kGothic, "#000080", kFace},
    {"Edit10", "edit", "Panel2", {328, 176, 73, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText13", "label", "Panel2", {552, 16, 85, 20}, "　学　　科 　", 16, false, kGothic, "#000080", kFace},
    {"Edit11", "edit", "Panel2", {656, 16, 97, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText14", "label", "Panel2", {552, 56, 84, 20}, "　生年月日 ", 16, false, kGothic, "#000080", kFace},
    {"Edit12", "edit", "Panel2", {656, 56, 145, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText15", "label", "Panel2", {552, 112, 80, 20}, "　住　　所　", 16, false, kGothic, "#000080", kFace},
    {"Edit13", "edit", "Panel2", {552, 144, 289, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText16", "label", "Form2", {8, 312, 65, 23}, " ID番号", 19, false, kGothic, "#000000", kFace},
    {"Edit14", "edit", "Form2", {80, 312, 81, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText17", "label", "Form2", {174, 312, 67, 23}, " 氏　名 ", 19, false, kGothic, "#000000", kFace},
    {"Edit15", "edit", "Form2", {248, 312, 161, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText26", "label", "Form2", {418, 312, 79, 23}, "  性　別  ", 19, false, kGothic, "#000000", kFace},
    {"Edit16", "edit", "Form2", {504, 312, 57, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText28", "label", "Form2", {600, 314, 98, 23}, " 受傷回数 ", 19, true, kGothic, "#0000FF", "#C0C0C0"},
    {"ComboBox12", "combo", "Form2", {712, 312, 57, 27}, "", 19, true, kGothic, "#008000", ""},
    {"BitBtn2", "button", "Form2", {792, 312, 80, 30}, " 保　存 ", 19, true, kGothic, "#008000", ""},
    {"StaticText18", "label", "Form2", {8, 352, 64, 23}, "受傷日", 19, true, kGothic, "#800080", "#DDFFFF"},
    {"ComboBox2", "combo", "Form2", {80, 352, 81, 24}, "", 16, true, kGothic, "#800080", ""},
    {"StaticText19", "text", "Form2", {160, 354, 24, 23}, "年", 19, true, kGothic, "#800080", ""},
    {"ComboBox3", "combo", "Form2", {184, 352, 49, 24}, "", 16, true, kGothic, "#800080", ""},
    {"StaticText20", "text", "Form2", {233, 354, 24, 23}, "月", 19, true, kGothic, "#800080", ""},
    {"ComboBox4", "combo", "Form2", {256, 352, 49, 24}, "", 16, true, kGothic, "#800080", ""},
    {"StaticText21", "text", "Form2", {306, 354, 24, 23}, "日", 19, true, kGothic, "#800080", ""},
    {"ComboBox5", "combo", "Form2", {328, 352, 49, 24}, "", 16, true, kGothic, "#008000", ""},
    {"StaticText30", "text", "Form2", {378, 354, 24, 23}, "曜", 19, true, kGothic, "#008000", ""},
    {"StaticText27", "label", "Form2", {408, 352, 104, 23}, "債権者登録", 19, true, kGothic, "#000000", "#EEAAAA"},
    {"ComboBox11", "combo", "Form2", {520, 352, 49, 24}, "", 16, true, kGothic, "#FF0000", ""},
    {"StaticText29", "label", "Form2", {584, 352, 78, 23}, " 場所別 ", 19, true, kGothic, "#800080", kFace},
    {"ComboBox13", "combo", "Form2", {672, 352, 225, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText22", "label", "Form2", {8, 394, 64, 23}, "傷病名", 19, true, kGothic, "#800080", kFace},
    {"ComboBox9", "combo", "Form2", {80, 392, 129, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText23", "label", "Form2", {214, 392, 72, 23}, " 部　位 ", 19, true, kGothic, "#800080", kFace},
    {"ComboBox6", "combo", "Form2", {292, 392, 161, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText24", "label", "Form2", {460, 392, 78, 23}, " 場合別 ", 19, true, kGothic, "#800080", kFace},
    {"ComboBox7", "combo", "Form2", {544, 392, 129, 24}, "", 16, true, kGothic, "#000080", ""},
    {"StaticText25", "label", "Form2", {680, 392, 72, 23}, " 部　名 ", 19, true, kGothic, "#800080", kFace},
    {"ComboBox8", "combo", "Form2", {760, 392, 137, 24}, "", 16, true, kGothic, "#000080", ""},
    {"ComboBox10", "combo", "Form2", {32, 432, 81, 24}, "", 16, true, kGothic, "#000080", ""},
    {"RadioButton1", "radio", "Form2", {120, 432, 57, 25}, "　４月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton2", "radio", "Form2", {184, 432, 57, 25}, "　５月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton3", "radio", "Form2", {248, 432, 57, 25}, "　６月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton4", "radio", "Form2", {312, 432, 57, 25}, "　７月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton5", "radio", "Form2", {376, 432, 57, 25}, "　８月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton6", "radio", "Form2", {440, 432, 57, 25}, "　９月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton7", "radio", "Form2", {504, 432, 57, 25}, "１０月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton8", "radio", "Form2", {568, 432, 57, 25}, "１１月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton9", "radio", "Form2", {632, 432, 57, 25}, "１２月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton10", "radio", "Form2", {696, 432, 57, 25}, "　１月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton11", "radio", "Form2", {760, 432, 57, 25}, "　２月　", 12, false, kGothic, "#000000", "#808080"},
    {"RadioButton12", "radio", "Form2", {824, 432, 57, 25}, "　３月　", 12, false, kGothic, "#000000", "#808080"},
    {"ListBox1", "list", "Form2", {56, 472, 825, 193}, "", 19, false, kGothic, "#000080", ""},
};

// The choice lists in Shift-JIS, item by item.
QList<QByteArray> numbers(int first, int last)
{
    QList<QByteArray> items;
    for (int n = first; n <= last; ++n)
        items.append(QByteArray::number(n));
    return items;
}

// 平成20年度 .. 平成30年度, 令和元年度, 令和2年度 .. 令和9年度
QList<QByteArray> entryYears()
{
    QList<QByteArray> items;
    for (const QByteArray& year : numbers(20, 30))
        items.append("\x95\xBD\x90\xAC" + year + "\x94\x4E\x93\x78");
    items.append("\x97\xDF\x98\x61\x8C\xB3\x94\x4E\x93\x78");
    for (const QByteArray& year : numbers(2, 9))
        items.append("\x97\xDF\x98\x61" + year + "\x94\x4E\x93\x78");
    return items;
}

const QList<std::pair<const char*, QList<QByteArray>>> kJapaneseLists = {
    // 日、月、火、水、木、金、土
    {"ComboBox5", {"\x93\xFA", "\x8C\x8E", "\x89\xCE", "\x90\x85", "\x96\xD8", "\x8B\xE0", "\x93\x79"}},
    // 未、済
    {"ComboBox11", {"\x96\xA2", "\x8D\xCF"}},
    // 打撲、捻挫、骨折、挫傷・裂傷、靱帯損傷、眼科、歯科、頭部外傷、その他
    {"ComboBox9", {"\x91\xC5\x96\x6F", "\x94\x50\x8D\xC1", "\x8D\x9C\x90\xDC", "\x8D\xC1\x8F\x9D\x81\x45\x97\xF4\x8F\x9D", "\xE8\xD5\x91\xD1\x91\xB9\x8F\x9D", "\x8A\xE1\x89\xC8", "\x8E\x95\x89\xC8", "\x93\xAA\x95\x94\x8A\x4F\x8F\x9D", "\x82\xBB\x82\xCC\x91\xBC"}},
    // 頭部、前額部、眼部、頬部、耳部、鼻部、口部、歯部、顎部、頸部、肩部、胸部（含内臓損傷）、
    // 腹部（含内臓損傷）、背部、腰部、臀部、上腕部、肘部、前腕部、手関節部、手・手指部、
    // 大腿部・股関節、膝部、下腿部、足関節部、足・足指部、その他
    {"ComboBox6", {"\x93\xAA\x95\x94", "\x91\x4F\x8A\x7A\x95\x94", "\x8A\xE1\x95\x94", "\x96\x6A\x95\x94", "\x8E\xA8\x95\x94", "\x95\x40\x95\x94", "\x8C\xFB\x95\x94", "\x8E\x95\x95\x94", "\x8A\x7B\x95\x94", "\xE8\xF2\x95\x94", "\x8C\xA8\x95\x94", "\x8B\xB9\x95\x94\x81\x69\x8A\xDC\x93\xE0\x91\x9F\x91\xB9\x8F\x9D\x81\x6A", "\x95\xA0\x95\x94\x81\x69\x8A\xDC\x93\xE0\x91\x9F\x91\xB9\x8F\x9D\x81\x6A", "\x94\x77\x95\x94", "\x8D\x98\x95\x94", "\xE4\x5C\x95\x94", "\x8F\xE3\x98\x72\x95\x94", "\x95\x49\x95\x94", "\x91\x4F\x98\x72\x95\x94", "\x8E\xE8\x8A\xD6\x90\xDF\x95\x94", "\x8E\xE8\x81\x45\x8E\xE8\x8E\x77\x95\x94", "\x91\xE5\x91\xDA\x95\x94\x81\x45\x8C\xD2\x8A\xD6\x90\xDF", "\x95\x47\x95\x94", "\x89\xBA\x91\xDA\x95\x94", "\x91\xAB\x8A\xD6\x90\xDF\x95\x94", "\x91\xAB\x81\x45\x91\xAB\x8E\x77\x95\x94", "\x82\xBB\x82\xCC\x91\xBC"}},
    // 授業前、授業中、休み時間、昼休み、掃除中、部活中、放課後、通学中、学校行事中、その他
    {"ComboBox7", {"\x8E\xF6\x8B\xC6\x91\x4F", "\x8E\xF6\x8B\xC6\x92\x86", "\x8B\x78\x82\xDD\x8E\x9E\x8A\xD4", "\x92\x8B\x8B\x78\x82\xDD", "\x91\x7C\x8F\x9C\x92\x86", "\x95\x94\x8A\x88\x92\x86", "\x95\xFA\x89\xDB\x8C\xE3", "\x92\xCA\x8A\x77\x92\x86", "\x8A\x77\x8D\x5A\x8D\x73\x8E\x96\x92\x86", "\x82\xBB\x82\xCC\x91\xBC"}},
    // 弓道、柔道、剣道、テニス、ｿﾌﾄﾃﾆｽ、卓球、登山、陸上競技、野球、ダンス、ﾊﾞﾄﾞﾐﾝﾄﾝ、ﾊﾞｽｹｯﾄﾎﾞｰﾙ、
    // ホッケー、ﾊﾞﾚｰﾎﾞｰﾙ、ﾊﾝﾄﾞﾎﾞｰﾙ、サッカー、生物、物理、地学、化学、美術、吹奏楽、コーラス、
    // ｷﾞﾀｰﾏﾝﾄﾞﾘﾝ、書道、茶道、華道、演劇、写真、新聞、放送、文芸、地歴、英語、ＪＲＣ、囲碁将棋、
    // 弦楽、総合活動、ＶＹＳ、応援団、パソコン、数学、その他
    {"ComboBox8", {"\x8B\x7C\x93\xB9", "\x8F\x5F\x93\xB9", "\x8C\x95\x93\xB9", "\x83\x65\x83\x6A\x83\x58", "\xBF\xCC\xC4\xC3\xC6\xBD", "\x91\xEC\x8B\x85", "\x93\x6F\x8E\x52", "\x97\xA4\x8F\xE3\x8B\xA3\x8B\x5A", "\x96\xEC\x8B\x85", "\x83\x5F\x83\x93\x83\x58", "\xCA\xDE\xC4\xDE\xD0\xDD\xC4\xDD", "\xCA\xDE\xBD\xB9\xAF\xC4\xCE\xDE\xB0\xD9", "\x83\x7A\x83\x62\x83\x50\x81\x5B", "\xCA\xDE\xDA\xB0\xCE\xDE\xB0\xD9", "\xCA\xDD\xC4\xDE\xCE\xDE\xB0\xD9", "\x83\x54\x83\x62\x83\x4A\x81\x5B", "\x90\xB6\x95\xA8", "\x95\xA8\x97\x9D", "\x92\x6E\x8A\x77", "\x89\xBB\x8A\x77", "\x94\xFC\x8F\x70", "\x90\x81\x91\x74\x8A\x79", "\x83\x52\x81\x5B\x83\x89\x83\x58", "\xB7\xDE\xC0\xB0\xCF\xDD\xC4\xDE\xD8\xDD", "\x8F\x91\x93\xB9", "\x92\x83\x93\xB9", "\x89\xD8\x93\xB9", "\x89\x89\x8C\x80", "\x8E\xCA\x90\x5E", "\x90\x56\x95\xB7", "\x95\xFA\x91\x97", "\x95\xB6\x8C\x7C", "\x92\x6E\x97\xF0", "\x89\x70\x8C\xEA", "\x82\x69\x82\x71\x82\x62", "\x88\xCD\x8C\xE9\x8F\xAB\x8A\xFB", "\x8C\xB7\x8A\x79", "\x91\x8D\x8D\x87\x8A\x88\x93\xAE", "\x82\x75\x82\x78\x82\x72", "\x89\x9E\x89\x87\x92\x63", "\x83\x70\x83\x5C\x83\x52\x83\x93", "\x90\x94\x8A\x77", "\x82\xBB\x82\xCC\x91\xBC"}},
    // 校舎内教室・実験自習室、校舎内体育館・武道場、校舎内廊下・昇降口・階段、校舎内その他、
    // 校舎外運動場・校庭、校舎外体育施設等、校舎外その他、学校外道路、学校外運動場、
    // 学校外体育館・屋内運動場、学校外その他
    {"ComboBox13", {"\x8D\x5A\x8E\xC9\x93\xE0\x8B\xB3\x8E\xBA\x81\x45\x8E\xC0\x8C\xB1\x8E\xA9\x8F\x4B\x8E\xBA", "\x8D\x5A\x8E\xC9\x93\xE0\x91\xCC\x88\xE7\x8A\xD9\x81\x45\x95\x90\x93\xB9\x8F\xEA", "\x8D\x5A\x8E\xC9\x93\xE0\x98\x4C\x89\xBA\x81\x45\x8F\xB8\x8D\x7E\x8C\xFB\x81\x45\x8A\x4B\x92\x69", "\x8D\x5A\x8E\xC9\x93\xE0\x82\xBB\x82\xCC\x91\xBC", "\x8D\x5A\x8E\xC9\x8A\x4F\x89\x5E\x93\xAE\x8F\xEA\x81\x45\x8D\x5A\x92\xEB", "\x8D\x5A\x8E\xC9\x8A\x4F\x91\xCC\x88\xE7\x8E\x7B\x90\xDD\x93\x99", "\x8D\x5A\x8E\xC9\x8A\x4F\x82\xBB\x82\xCC\x91\xBC", "\x8A\x77\x8D\x5A\x8A\x4F\x93\xB9\x98\x48", "\x8A\x77\x8D\x5A\x8A\x4F\x89\x5E\x93\xAE\x8F\xEA", "\x8A\x77\x8D\x5A\x8A\x4F\x91\xCC\x88\xE7\x8A\xD9\x81\x45\x89\xAE\x93\xE0\x89\x5E\x93\xAE\x8F\xEA", "\x8A\x77\x8D\x5A\x8A\x4F\x82\xBB\x82\xCC\x91\xBC"}},
};

const QStringList kHiraganaControls = {"Edit1", "ComboBox6", "ComboBox7", "ComboBox8", "ComboBox9", "ComboBox13"};

QStringList tabOrder(const QString& monthButton)
{
    QStringList order = {"ComboBox1", "Edit1", "BitBtn1", "BitBtn3"};
    for (int n = 2; n <= 15; ++n)
        order.append(QStringLiteral("Edit%1").arg(n));
    order << "ComboBox2" << "ComboBox3" << "ComboBox4" << "ComboBox5" << "ComboBox6" << "ComboBox7" << "ComboBox8";
    if (!monthButton.isEmpty())
        order << monthButton;
    order << "ListBox1" << "ComboBox9" << "Edit16" << "ComboBox10" << "BitBtn2" << "ComboBox11" << "ComboBox12"
          << "ComboBox13";
    return order;
}

QList<QByteArray> shiftJisItems(const QComboBox* box)
{
    QList<QByteArray> items;
    for (int i = 0; i < box->count(); ++i)
        items.append(claims::ToShiftJis(box->itemText(i)).value_or("(not Shift-JIS)"));
    return items;
}

} // namespace

class EntryWindowLayout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowHasItsCaptionSizeAndPlace();
    void controlStandsInItsLayoutPlace_data();
    void controlStandsInItsLayoutPlace();
    void controlLooksAsItsLayoutSays_data();
    void controlLooksAsItsLayoutSays();
    void choiceListHoldsItsItemsInShiftJis_data();
    void choiceListHoldsItsItemsInShiftJis();
    void yearListsFollowTheOpeningDay_data();
    void yearListsFollowTheOpeningDay();
    void windowOpensEmpty();
    void listLinesHaveTheirHeight();
    void onlyTheSixNameFieldsSwitchToHiragana();
    void tabWalksTheLayoutOrder_data();
    void tabWalksTheLayoutOrder();
    void enterAndEscapeNeitherPressNorClose_data();
    void enterAndEscapeNeitherPressNorClose();

private:
    void addControlRows();
    QWidget* control(const char* name) const;

    entry::EntryState state;
    std::unique_ptr<TForm2> window;
};

void EntryWindowLayout::init()
{
    state = entry::EntryState();
    window = std::make_unique<TForm2>(state, nullptr, QDate(2026, 12, 8));
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void EntryWindowLayout::cleanup()
{
    window.reset();
}

QWidget* EntryWindowLayout::control(const char* name) const
{
    return window->findChild<QWidget*>(QLatin1String(name));
}

void EntryWindowLayout::windowHasItsCaptionSizeAndPlace()
{
    QCOMPARE(window->objectName(), QStringLiteral("Form2"));
    QCOMPARE(window->windowTitle(), QStringLiteral("給付入力画面"));
    QCOMPARE(window->size(), QSize(914, 686));   // 922 x 713 less the layout's frame
    QCOMPARE(window->pos(), QPoint(186, 108));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

void EntryWindowLayout::addControlRows()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kControls)); ++i)
        QTest::newRow(kControls[i].name) << i;
}

void EntryWindowLayout::controlStandsInItsLayoutPlace_data()
{
    addControlRows();
}

void EntryWindowLayout::controlStandsInItsLayoutPlace()
{
    QFETCH(int, row);
    const Control& fixed = kControls[row];
    const QWidget* w = control(fixed.name);
    QVERIFY2(w, "missing");
    const QString problem = layoutcheck::placeMismatch(w, fixed);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void EntryWindowLayout::controlLooksAsItsLayoutSays_data()
{
    addControlRows();
}

void EntryWindowLayout::controlLooksAsItsLayoutSays()
{
    QFETCH(int, row);
    const Control& fixed = kControls[row];
    const QWidget* w = control(fixed.name);
    QVERIFY2(w, "missing");
    const QString problem = layoutcheck::lookMismatch(w, fixed);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void EntryWindowLayout::choiceListHoldsItsItemsInShiftJis_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QByteArray>>("items");
    QTest::newRow("entry year") << "ComboBox1" << entryYears();
    QTest::newRow("injury year") << "ComboBox2" << numbers(2008, 2039);
    QTest::newRow("month") << "ComboBox3" << numbers(1, 12);
    QTest::newRow("day") << "ComboBox4" << numbers(1, 31);
    QTest::newRow("treatment year") << "ComboBox10" << numbers(2008, 2039);
    QTest::newRow("occurrence") << "ComboBox12" << numbers(1, 8);
    for (const auto& [name, items] : kJapaneseLists)
        QTest::newRow(name) << QString::fromLatin1(name) << items;
}

void EntryWindowLayout::choiceListHoldsItsItemsInShiftJis()
{
    QFETCH(QString, name);
    QFETCH(QList<QByteArray>, items);
    const auto* box = window->findChild<forms::ComboBox*>(name);
    QVERIFY(box);
    QCOMPARE(shiftJisItems(box), items);
}

// A school year begins on 1 April; the entry years reach the one after the
// opening day's, both year lists alike the opening year + 13.
void EntryWindowLayout::yearListsFollowTheOpeningDay_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("lastEntryYear");
    QTest::addColumn<QString>("lastYear");
    QTest::newRow("before the layout's last") << QDate(2015, 6, 1) << u"平成28年度"_qs << "2030";
    QTest::newRow("31 March 2019") << QDate(2019, 3, 31) << u"令和元年度"_qs << "2032";
    QTest::newRow("1 April 2019") << QDate(2019, 4, 1) << u"令和2年度"_qs << "2032";
    QTest::newRow("31 March 2027") << QDate(2027, 3, 31) << u"令和9年度"_qs << "2040";
    QTest::newRow("1 April 2027") << QDate(2027, 4, 1) << u"令和10年度"_qs << "2040";
}

void EntryWindowLayout::yearListsFollowTheOpeningDay()
{
    QFETCH(QDate, day);
    QFETCH(QString, lastEntryYear);
    QFETCH(QString, lastYear);
    const TForm2 w(state, nullptr, day);
    QCOMPARE(w.ui->ComboBox1->itemText(w.ui->ComboBox1->count() - 1), lastEntryYear);
    QCOMPARE(w.ui->ComboBox2->itemText(w.ui->ComboBox2->count() - 1), lastYear);
    QCOMPARE(shiftJisItems(w.ui->ComboBox10), shiftJisItems(w.ui->ComboBox2));
}

void EntryWindowLayout::windowOpensEmpty()
{
    for (const forms::ComboBox* box : window->findChildren<forms::ComboBox*>()) {
        QVERIFY2(box->selectedIndex() == -1, qPrintable(box->objectName()));
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    }
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>())
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    for (const QRadioButton* month : window->findChildren<QRadioButton*>())
        QVERIFY2(!month->isChecked(), qPrintable(month->objectName()));
    QCOMPARE(window->ui->ListBox1->count(), 0);
}

void EntryWindowLayout::listLinesHaveTheirHeight()
{
    QCOMPARE(window->ui->ListBox1->lineHeight(), 19);
}

void EntryWindowLayout::onlyTheSixNameFieldsSwitchToHiragana()
{
    QStringList switching;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (forms::HasHiraganaOnFocus(w))
            switching.append(w->objectName());
    }
    switching.sort();
    QStringList expected = kHiraganaControls;
    expected.sort();
    QCOMPARE(switching, expected);
}

// The month buttons are in the tab order only through the selected one.
void EntryWindowLayout::tabWalksTheLayoutOrder_data()
{
    QTest::addColumn<QStringList>("clickedMonths");
    QTest::addColumn<QString>("selected");
    QTest::newRow("no month selected") << QStringList() << QString();
    QTest::newRow("May selected") << QStringList{"RadioButton2"} << "RadioButton2";
    QTest::newRow("March, then June") << QStringList{"RadioButton12", "RadioButton3"} << "RadioButton3";
}

void EntryWindowLayout::tabWalksTheLayoutOrder()
{
    QFETCH(QStringList, clickedMonths);
    QFETCH(QString, selected);
    for (const QString& name : clickedMonths)
        QTest::mouseClick(window->findChild<QRadioButton*>(name), Qt::LeftButton);

    window->ui->ComboBox13->setFocus();
    QCOMPARE(layoutcheck::focusedControl(), QStringLiteral("ComboBox13"));
    const QStringList order = tabOrder(selected);
    QCOMPARE(layoutcheck::tabWalk(int(order.size())), order);   // round once, back to the last

    QStringList backwards = order;
    std::reverse(backwards.begin(), backwards.end());
    backwards.move(0, backwards.size() - 1);
    QCOMPARE(layoutcheck::tabWalk(int(order.size()), false), backwards);
}

void EntryWindowLayout::enterAndEscapeNeitherPressNorClose_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::newRow("Enter in the search text") << "Edit1" << int(Qt::Key_Return);
    QTest::newRow("Enter in a header list") << "ComboBox9" << int(Qt::Key_Return);
    QTest::newRow("Esc in the search text") << "Edit1" << int(Qt::Key_Escape);
    QTest::newRow("Esc in the occurrence list") << "ComboBox12" << int(Qt::Key_Escape);
}

void EntryWindowLayout::enterAndEscapeNeitherPressNorClose()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QList<std::shared_ptr<QSignalSpy>> presses;
    for (QPushButton* button : window->findChildren<QPushButton*>())
        presses.append(std::make_shared<QSignalSpy>(button, &QPushButton::clicked));

    QWidget* w = window->findChild<QWidget*>(field);
    w->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QApplication::processEvents();

    QVERIFY(window->isVisible());
    for (const auto& spy : presses)
        QCOMPARE(spy->count(), 0);
}

KIBORU_GUI_TEST_MAIN(EntryWindowLayout)
#include "tst_entry_window.moc"
