// Rosters made from student systems' exports: encodings and separators, the
// column guesses, the normalised texts, every problem kind and the bytes
// written. Names and readings are from the shared name list.

#include "rosters/Kana.h"
#include "rosters/RosterImport.h"
#include "tests/support/RosterReading.h"
#include "tests/claims/TestSupport.h"

#include <QStringEncoder>
#include <QTest>

using namespace claims;

Q_DECLARE_METATYPE(claims::ExportEncoding)

namespace {

QByteArray Encoded(const QString& text, const QByteArray& encoding)
{
    if (encoding == "sjis")
        return ktest::Sj(text);
    if (encoding == "utf8")
        return text.toUtf8();
    if (encoding == "utf8bom")
        return "\xEF\xBB\xBF" + text.toUtf8();
    const bool le = encoding == "utf16le";
    QStringEncoder encoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    return (le ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF")) + QByteArray(encoder(text));
}

// The choice as "field=column" for each chosen field.
QString ChoiceText(const ColumnChoice& columns)
{
    QStringList parts;
    for (int field = 0; field < int(columns.size()); ++field) {
        if (columns[field] != kNoColumn)
            parts << RosterFieldNames()[field] + u'=' + QString::number(columns[field]);
    }
    return parts.join(u' ');
}

ColumnChoice InOrder()
{
    ColumnChoice columns;
    for (int i = 0; i < int(columns.size()); ++i)
        columns[i] = i;
    return columns;
}

ExportTable Rows(const QList<QStringList>& rows)
{
    ExportTable table;
    table.header = RosterFieldNames();
    for (int i = 0; i < int(rows.size()); ++i)
        table.rows.append({i + 2, rows[i], false});
    return table;
}

const QStringList kSato = {"21001", "3-1", "2-1", "1-1", "佐藤　愛斗", "さとう　あいと", "佐藤　一郎",
                           "北中学校", "男", "普通科", "H5.4.2", "徳島県鳴門市1-2"};

QStringList With(QStringList fields, int field, const QString& text)
{
    fields[field] = text;
    return fields;
}

} // namespace

class RosterImport : public QObject {
    Q_OBJECT

private slots:
    void readsWhatSystemsExport_data();
    void readsWhatSystemsExport();
    void guessesColumnsFromHeaderNames_data();
    void guessesColumnsFromHeaderNames();
    void normalisesAsTheProgramSearches_data();
    void normalisesAsTheProgramSearches();
    void namesEveryProblemOfALine_data();
    void namesEveryProblemOfALine();
    void tellsAClassNumberTakenForTheId_data();
    void tellsAClassNumberTakenForTheId();
    void writesShiftJisWithItsHeaderLine();
    void demoSampleGivesItsRosterBack();
};

void RosterImport::readsWhatSystemsExport_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ExportEncoding>("encoding");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QStringList>("firstRow");

    const QString csv = QStringLiteral("学籍番号,氏名,フリガナ,住所\r\n"
                                       "21001,佐藤 愛斗,サトウ アイト,\"徳島県鳴門市1-2,\"\"北\"\"棟\"\r\n"
                                       ",,,\r\n");
    const QString tsv = QStringLiteral("学籍番号\t氏名\tフリガナ\t住所\r\n21001\t佐藤 愛斗\tｻﾄｳ ｱｲﾄ\t徳島県鳴門市1-2,北棟\r\n");
    const QStringList csvRow = {"21001", "佐藤 愛斗", "サトウ アイト", "徳島県鳴門市1-2,\"北\"棟"};
    const QStringList tsvRow = {"21001", "佐藤 愛斗", "ｻﾄｳ ｱｲﾄ", "徳島県鳴門市1-2,北棟"};
    QTest::newRow("Shift-JIS CSV") << Encoded(csv, "sjis") << ExportEncoding::ShiftJis << ',' << csvRow;
    QTest::newRow("UTF-8 CSV") << Encoded(csv, "utf8") << ExportEncoding::Utf8 << ',' << csvRow;
    QTest::newRow("UTF-8 CSV with mark") << Encoded(csv, "utf8bom") << ExportEncoding::Utf8WithMark << ',' << csvRow;
    QTest::newRow("Excel Unicode text") << Encoded(tsv, "utf16le") << ExportEncoding::Utf16LE << '\t' << tsvRow;
    QTest::newRow("UTF-16 BE tabs") << Encoded(tsv, "utf16be") << ExportEncoding::Utf16BE << '\t' << tsvRow;
    QTest::newRow("Shift-JIS tabs, half-width kana") << Encoded(tsv, "sjis") << ExportEncoding::ShiftJis << '\t' << tsvRow;
    QTest::newRow("ASCII only") << QByteArray("ID,Name\n21001,Sato\n") << ExportEncoding::ShiftJis << ','
                                << QStringList{"21001", "Sato"};
}

void RosterImport::readsWhatSystemsExport()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ExportEncoding, encoding);
    QFETCH(char, separator);
    QFETCH(QStringList, firstRow);
    const ExportTable table = ReadExport(bytes);
    QCOMPARE(table.encoding, encoding);
    QCOMPARE(table.separator, separator);
    QCOMPARE(table.header.size(), firstRow.size());
    QCOMPARE(table.rows.size(), 1);   // the blank row is left out
    QCOMPARE(table.rows[0].fields, firstRow);
    QCOMPARE(table.rows[0].line, 2);
}

void RosterImport::guessesColumnsFromHeaderNames_data()
{
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("firstRow");
    QTest::addColumn<QString>("choice");
    QTest::newRow("the rosters' own header") << RosterHeaderLine().split(u',') << QStringList()
        << "ID番号=0 3年組=1 2年組=2 1年組=3 氏名=4 ふりがな=5 保護者=6 出身中学=7 性別=8 学科=9 生年月日=10 住所=11";
    QTest::newRow("a system's order") << QStringList{"生徒番号", "クラス", "生徒氏名", "氏名カナ", "保護者氏名", "出身校", "コース", "生年月日", "現住所"}
        << QStringList{"21001", "3年2組"} << "ID番号=0 3年組=1 氏名=2 ふりがな=3 保護者=4 出身中学=5 学科=6 生年月日=7";
    QTest::newRow("学年 and 組") << QStringList{"学年", "組", "番号", "名前", "よみ", "性別"} << QStringList{"２", "4"}
        << "ID番号=2 2年組=1 氏名=3 ふりがな=4 性別=5";
    QTest::newRow("half-width, first of two") << QStringList{"ID", "ﾌﾘｶﾞﾅ", "ふりがな", "1年 学級", "出身学校"} << QStringList{"1"}
        << "ID番号=0 1年組=3 ふりがな=1 出身中学=4";
    QTest::newRow("a bare class of year 1") << QStringList{"学籍番号", "学級"} << QStringList{"1", "A"} << "ID番号=0 1年組=1";
    QTest::newRow("nothing known") << QStringList{"出席番号", "備考"} << QStringList{"1"} << "";
    // The best name wins the ID, whatever the order: 学籍番号, 生徒番号, ID, then 番号.
    QTest::newRow("番号 then 学籍番号") << QStringList{"番号", "学籍番号", "氏名"} << QStringList{"5"} << "ID番号=1 氏名=2";
    QTest::newRow("学籍番号 then 番号") << QStringList{"学籍番号", "番号", "氏名"} << QStringList{"5"} << "ID番号=0 氏名=2";
    QTest::newRow("生徒番号 and 番号") << QStringList{"番号", "生徒番号"} << QStringList{"5"} << "ID番号=1";
    QTest::newRow("ID and 番号") << QStringList{"番号", "ＩＤ"} << QStringList{"5"} << "ID番号=1";
    QTest::newRow("all four, best last") << QStringList{"番号", "ID", "生徒番号", "学籍番号"} << QStringList{"5"} << "ID番号=3";
    QTest::newRow("only 番号") << QStringList{"組", "番号"} << QStringList{"1", "5"} << "ID番号=1 1年組=0";
}

void RosterImport::guessesColumnsFromHeaderNames()
{
    QFETCH(QStringList, header);
    QFETCH(QStringList, firstRow);
    QFETCH(QString, choice);
    ExportTable table;
    table.header = header;
    table.rows.append({2, firstRow, false});
    QCOMPARE(ChoiceText(GuessColumns(table)), choice);
}

void RosterImport::normalisesAsTheProgramSearches_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("katakana reading") << 5 << "サトウ　アイト" << "さとう　あいと";
    QTest::newRow("half-width, voiced marks") << 5 << "ﾀﾞｲｺﾞ ﾊﾟｸ" << "だいご　ぱく";
    QTest::newRow("long vowel and ヴ kept") << 5 << "ユーリ ヴィクトル" << "ゆーり　ヴぃくとる";
    QTest::newRow("half-width long vowel") << 5 << "ｼｮｰﾀ" << "しょーた";
    QTest::newRow("lone mark") << 5 << "ﾞあ" << "゛あ";
    QTest::newRow("blanks in reading") << 5 << "  やまだ \t　たろう　" << "やまだ　たろう";
    QTest::newRow("blanks in name") << 4 << " 山田  太郎 " << "山田　太郎";
    QTest::newRow("name keeps katakana") << 4 << "マリア 山田" << "マリア　山田";
    QTest::newRow("address keeps its spaces") << 11 << " 徳島県 鳴門市 " << "徳島県 鳴門市";
    QTest::newRow("class 3年2組") << 1 << "３年２組" << "3-2";
    QTest::newRow("bare class number") << 2 << "4" << "2-4";
    QTest::newRow("class kept") << 3 << "1-A" << "1-A";
    QTest::newRow("date yyyy/mm/dd") << 10 << "2008/04/02" << "H20.4.2";
    QTest::newRow("date 平成") << 10 << "平成20年4月2日" << "H20.4.2";
    QTest::newRow("date 令和元年") << 10 << "令和元年5月1日" << "R1.5.1";
    QTest::newRow("date before 令和") << 10 << "2019-04-30" << "H31.4.30";
    QTest::newRow("date kept") << 10 << "H5.11.30" << "H5.11.30";
    QTest::newRow("no such day") << 10 << "2008/02/30" << "2008/02/30";
}

void RosterImport::normalisesAsTheProgramSearches()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, written);
    const ImportedRoster roster = BuildImportedRoster(Rows({With(kSato, field, text)}), InOrder());
    QCOMPARE(roster.problems.size(), 0);
    QCOMPARE(roster.lines, QStringList{With(kSato, field, written).join(u',')});
}

void RosterImport::namesEveryProblemOfALine_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<int>("written");
    QTest::newRow("comma") << QList<QStringList>{With(kSato, 11, "鳴門市1,2")} << QStringList{"2: 「住所」にカンマがあります"} << 0;
    QTest::newRow("line break") << QList<QStringList>{With(kSato, 4, "佐藤\n愛斗")} << QStringList{"2: 「氏名」に改行があります"} << 0;
    QTest::newRow("NUL") << QList<QStringList>{With(kSato, 6, QString::fromUtf16(u"佐藤\0一郎", 5))} << QStringList{"2: 「保護者」に制御文字があります"} << 0;
    QTest::newRow("not in Shift-JIS") << QList<QStringList>{With(kSato, 4, "𠮷田　愛斗"), With(With(kSato, 0, "21002"), 9, "普通科①")}
                                      << QStringList{"2: 「氏名」の「𠮷」はShift-JISで書けない文字です"} << 1;
    QTest::newRow("empty ID, empty reading") << QList<QStringList>{With(With(kSato, 0, " "), 5, "　")}
                                             << QStringList{"2: ID番号がありません", "2: ふりがながありません"} << 0;
    QTest::newRow("ID that names no file") << QList<QStringList>{With(kSato, 0, "21/001")}
                                           << QStringList{"2: ID番号「21/001」は請求ファイルの名前に使えません"} << 0;
    QTest::newRow("duplicate IDs") << QList<QStringList>{kSato, With(kSato, 0, "21002"), kSato}
                                   << QStringList{"2: ID番号「21001」が4行目にもあります", "4: ID番号「21001」が2行目にもあります"} << 1;
}

void RosterImport::namesEveryProblemOfALine()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, problems);
    QFETCH(int, written);
    const ImportedRoster roster = BuildImportedRoster(Rows(rows), InOrder());
    QStringList shown;
    for (const ImportProblem& p : roster.problems)
        shown << QString::number(p.line) + QStringLiteral(": ") + p.why;
    QCOMPARE(shown, problems);
    QCOMPARE(roster.lines.size(), written);
    QCOMPARE(roster.problemLines, int(rows.size()) - written);
}

// A 番号 that repeats in another 組 is the number in the class, not the
// student's ID: the problem says so. Other repeated IDs are plain duplicates.
void RosterImport::tellsAClassNumberTakenForTheId_data()
{
    QTest::addColumn<QString>("idHeader");
    QTest::addColumn<QString>("secondClass");
    QTest::addColumn<QString>("hint");
    const QString hint = QStringLiteral("（「番号」は組の中の番号のようです。ID番号には学籍番号の列を選んで下さい）");
    QTest::newRow("番号 in two classes") << "番号" << "2" << hint;
    QTest::newRow("番号 twice in one class") << "番号" << "1" << "";
    QTest::newRow("学籍番号 in two classes") << "学籍番号" << "2" << "";
}

void RosterImport::tellsAClassNumberTakenForTheId()
{
    QFETCH(QString, idHeader);
    QFETCH(QString, secondClass);
    QFETCH(QString, hint);
    ExportTable table;
    table.header = QStringList{"組", idHeader, "氏名", "よみ"};
    table.rows.append({2, {"1", "5", "佐藤　愛斗", "さとう　あいと"}, false});
    table.rows.append({3, {"1", "7", "林　大悟", "はやし　だいご"}, false});
    table.rows.append({4, {secondClass, "5", "山田　花", "やまだ　はな"}, false});
    const ImportedRoster roster = BuildImportedRoster(table, GuessColumns(table));
    QStringList shown;
    for (const ImportProblem& p : roster.problems)
        shown << QString::number(p.line) + QStringLiteral(": ") + p.why;
    QCOMPARE(shown, (QStringList{"2: ID番号「5」が4行目にもあります" + hint, "4: ID番号「5」が2行目にもあります" + hint}));
    QCOMPARE(roster.lines.size(), 1);
}

// A quote left open is a problem too; the file holds the header line and the
// students, Shift-JIS with CR LF, and the search finds the hiragana reading.
void RosterImport::writesShiftJisWithItsHeaderLine()
{
    const QByteArray exported = Encoded(QStringLiteral("番号,氏名,ﾌﾘｶﾞﾅ\r\n21001,佐藤 愛斗,ｻﾄｳ ｱｲﾄ\r\n21002,\"林,大悟\r\n"), "utf8");
    const ExportTable table = ReadExport(exported);
    const ImportedRoster roster = BuildImportedRoster(table, GuessColumns(table));
    QCOMPARE(roster.problemLines, 1);
    QCOMPARE(roster.problems[0].why, QStringLiteral("引用符（\"）が閉じていません"));
    const QByteArray bytes = ImportedRosterBytes(roster);
    QCOMPARE(bytes, ktest::Sj(RosterHeaderLine() + "\r\n21001,,,,佐藤　愛斗,さとう　あいと,,,,,,\r\n"));
    const QList<QByteArray> found = FindRosterLines(SplitRosterText(bytes), ktest::Sj("さとう"));
    QCOMPARE(found.size(), 1);
}

// The demo's sample export is R06入学.CSV as a student system writes it.
void RosterImport::demoSampleGivesItsRosterBack()
{
    const QString demo = QStringLiteral(KIBORU_DEMO_DIR);
    const ExportTable table = ReadExport(ktest::ReadBytes(demo + QStringLiteral("/名簿サンプル.csv")));
    QCOMPARE(table.encoding, ExportEncoding::Utf8WithMark);
    const ImportedRoster roster = BuildImportedRoster(table, GuessColumns(table));
    QCOMPARE(roster.problemLines, 0);
    QCOMPARE(ImportedRosterBytes(roster), ktest::ReadBytes(demo + QStringLiteral("/R06入学.CSV")));
}

QTEST_GUILESS_MAIN(RosterImport)
#include "tst_roster_import.moc"
