// The roster file: where it lies, how it is cut into lines and fields, and
// the search by the reading of a name.

#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"

#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace claims;
using ktest::Sj;
using ktest::SjList;

class RosterFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QByteArray kenAll_;          // KEN_ALL.CSV, Shift-JIS
    QStringList kenAllLines_;    // the same, read as Unicode

    // Every way the program can search a roster text (held also in the file
    // at path) must give `expected`.
    void CheckAllSearches(const QByteArray& text, const QString& path, const QByteArray& key,
                          const QList<QByteArray>& expected)
    {
        QCOMPARE(FindRosterLines(SplitRosterText(text), key, EncodingOf(text)), expected);
        QCOMPARE(FindRosterLinesInText(text, key), expected);
        const Result<FoundLines> fromFile = FindRosterLinesInFile(path, key);
        QVERIFY(fromFile.has_value());
        QCOMPARE(fromFile->toList(), expected);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        kenAll_ = ktest::ReadBytes(KIBORU_KEN_ALL);
        QVERIFY(kenAll_.size() > 10'000'000);
        QVERIFY(ktest::WriteBytes(dir_.filePath("KEN_ALL.CSV"), kenAll_));
        kenAllLines_ = FromShiftJis(kenAll_).split(u"\r\n"_qs);
        kenAllLines_.removeFirst();   // never searched: the header line
        kenAllLines_.removeLast();    // after the final line end
    }

    void pathTakesEraYearFromFifthAndSixthByte_data()
    {
        QTest::addColumn<QString>("entryYear");
        QTest::addColumn<QString>("path");
        QTest::newRow("平成20年度") << u"平成20年度"_qs << u"/data/H20入学.CSV"_qs;
        QTest::newRow("nothing chosen") << QString() << u"/data/H入学.CSV"_qs;
        QTest::newRow("five bytes") << u"平成2"_qs << u"/data/H入学.CSV"_qs;
        QTest::newRow("typed ASCII") << u"abcd21x"_qs << u"/data/H21入学.CSV"_qs;
        QTest::newRow("平成30年度") << u"平成30年度"_qs << u"/data/H30入学.CSV"_qs;
        QTest::newRow("令和元年度") << u"令和元年度"_qs << u"/data/R01入学.CSV"_qs;
        QTest::newRow("令和1年度 typed") << u"令和1年度"_qs << u"/data/R01入学.CSV"_qs;
        QTest::newRow("令和10年度") << u"令和10年度"_qs << u"/data/R10入学.CSV"_qs;
        QTest::newRow("令和８ full-width typed") << u"令和８"_qs << u"/data/R08入学.CSV"_qs;
        QTest::newRow("令和 without a year") << u"令和年度"_qs << u"/data/H年入学.CSV"_qs;
        QTest::newRow("令和100年度 is none") << u"令和100年度"_qs << u"/data/H10入学.CSV"_qs;
    }

    void pathTakesEraYearFromFifthAndSixthByte()
    {
        QFETCH(QString, entryYear);
        QFETCH(QString, path);
        QCOMPARE(BuildRosterPath("/data", Sj(entryYear)), path);
    }

    void textIsCutIntoLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("CR LF") << QByteArray("h\r\na\r\nb\r\n") << QList<QByteArray>{"h", "a", "b"};
        QTest::newRow("lone CR and LF") << QByteArray("h\ra\nb") << QList<QByteArray>{"h", "a", "b"};
        QTest::newRow("empty lines count") << QByteArray("h\r\n\r\n\n \r\n") << QList<QByteArray>{"h", "", "", " "};
        QTest::newRow("NUL ends the text") << QByteArray("h\r\na\0b\r\nc", 9) << QList<QByteArray>{"h", "a"};
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("byte order mark dropped") << QByteArray("\xEF\xBB\xBFh\na") << QList<QByteArray>{"h", "a"};
    }

    void textIsCutIntoLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, lines);
        const QString path = dir_.filePath("lines.CSV");
        QVERIFY(ktest::WriteBytes(path, text));
        const Result<RosterLines> read = ReadRosterLines(path);
        QVERIFY(read.has_value());
        QCOMPARE(read->lines, lines);
    }

    void lineIsCutIntoTwelveFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("twelve") << u"1024,3A,2B,1C,山田太郎,やまだたろう,山田一郎,中央中,男,普通科,H5.4.1,東京都"_qs
                                << QStringList{"1024", "3A", "2B", "1C", "山田太郎", "やまだたろう", "山田一郎",
                                               "中央中", "男", "普通科", "H5.4.1", "東京都"};
        QTest::newRow("empty fields are blanks") << u",a,,b,,,,,,,,"_qs
                                                 << QStringList{" ", "a", " ", "b", " ", " ", " ", " ", " ", " ", " ", ""};
        QTest::newRow("thirteen values") << u"1,2,3,4,5,6,7,8,9,10,11,12,13"_qs
                                         << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12,13"};
        QTest::newRow("five values") << u"1,2,3,4,5"_qs
                                     << QStringList{"1", "2", "3", "4", "", "", "", "", "", "", "", ""};
        QTest::newRow("empty line") << QString() << QStringList(12, QString());
    }

    void lineIsCutIntoTwelveFields()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        const TStudentRecord record = SplitRosterLine(Sj(line));
        QList<QByteArray> got;
        for (int i = 0; i < TStudentRecord::FieldCount; ++i)
            got.append(record.field(i));
        QCOMPARE(got, SjList(fields));
    }

    void searchFindsWholeCharactersOnly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QList<QByteArray>>("found");
        const QByteArray header = Sj(u"ID,名前,やまだ\r\n"_qs);
        const QByteArray yamada = Sj(u"1,3A,やまだ"_qs);
        const QByteArray kawada = Sj(u"2,3B,かわだ"_qs);
        const QByteArray roster = header + yamada + "\r\n" + kawada + "\n" + yamada;
        QTest::newRow("key trimmed") << roster << Sj(u" \tかわだ\r"_qs) << QList<QByteArray>{kawada};
        QTest::newRow("blanks only") << roster << QByteArray(" \t ") << QList<QByteArray>{};
        QTest::newRow("header never searched") << roster << Sj(u"名前"_qs) << QList<QByteArray>{};
        QTest::newRow("duplicates kept in order") << roster << Sj(u"だ"_qs) << QList<QByteArray>{yamada, kawada, yamada};
        QTest::newRow("across a comma") << roster << QByteArray("3B,") << QList<QByteArray>{kawada};
        QTest::newRow("ideographic space kept") << roster << Sj(u"\u3000かわだ"_qs) << QList<QByteArray>{};
        QTest::newRow("5C inside 表 and ソ") << header + Sj(u"表ソ\r\na\\b"_qs) << QByteArray("\\")
                                              << QList<QByteArray>{"a\\b"};
        QTest::newRow("from second byte into the next") << header + Sj(u"表ソ"_qs) << QByteArray("\x5C\x83")
                                                        << QList<QByteArray>{};
        QTest::newRow("half-width ｿ inside 請") << header + Sj(u"請\rｿ"_qs) << Sj(u"ｿ"_qs) << QList<QByteArray>{Sj(u"ｿ"_qs)};
        QTest::newRow("A inside ア") << header + Sj(u"ア\r\nA"_qs) << QByteArray("A") << QList<QByteArray>{"A"};
        QTest::newRow("whole character after a false hit") << header + Sj(u"表\\"_qs) << QByteArray("\\")
                                                           << QList<QByteArray>{Sj(u"表\\"_qs)};
        QTest::newRow("NUL ends the text") << QByteArray("h\nab\0ab", 7) << QByteArray("ab") << QList<QByteArray>{"ab"};
        QTest::newRow("header only") << QByteArray("ab") << QByteArray("ab") << QList<QByteArray>{};
        // Bytes that can open a character pair up back to the last byte that
        // cannot: x | 81 81 | 81 81 | 81 41 holds "\x81A", x | 81 81 | 81 81 | 41 not.
        const QByteArray oddRun = "x\x81\x81\x81\x81\x81" "A";
        const QByteArray evenRun = "x\x81\x81\x81\x81" "A";
        QTest::newRow("run of lead bytes") << "h\r\n" + oddRun + "\r\n" + evenRun << QByteArray("\x81" "A")
                                           << QList<QByteArray>{oddRun};
        QTest::newRow("many false hits in one line") << "h\n" + QByteArray(4001, '\x81') + "\n\x81\x81"
                                                     << QByteArray("\x81\x81")
                                                     << QList<QByteArray>{QByteArray(4001, '\x81'), "\x81\x81"};
        const QByteArray longLine = QByteArray(200'000, 'x') + "ab";
        QTest::newRow("long header") << longLine + "\nab" << QByteArray("ab") << QList<QByteArray>{"ab"};
        QTest::newRow("long line") << "h\r\n" + longLine << QByteArray("ab") << QList<QByteArray>{longLine};
        // UTF-8 after a byte order mark: 80 to BF only continue a character,
        // so "\x82" ends あ (E3 81 82) and begins nothing.
        const QByteArray bom = "\xEF\xBB\xBF";
        const QByteArray a = u"あ"_qs.toUtf8();
        QTest::newRow("UTF-8 whole character") << bom + "h\n" + a << a << QList<QByteArray>{a};
        QTest::newRow("UTF-8 never inside one") << bom + "h\n" + a << QByteArray("\x82") << QList<QByteArray>{};
        QTest::newRow("UTF-8 header never searched") << bom + a + "\n" << a << QList<QByteArray>{};
    }

    void searchFindsWholeCharactersOnly()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, key);
        QFETCH(QList<QByteArray>, found);
        const QString path = dir_.filePath("search.CSV");
        QVERIFY(ktest::WriteBytes(path, text));
        CheckAllSearches(text, path, key, found);
    }

    // Lines of every length around the sixteen bytes that are scanned at
    // once, the key at their start, middle or end, ended by CR LF, CR or LF.
    void lineEndsAreFoundWhereverTheyFall()
    {
        QByteArray text = "header\r\n";
        QList<QByteArray> expected;
        const char* const ends[] = {"\r\n", "\r", "\n"};
        for (int length = 2; length <= 50; ++length) {
            for (int at : {0, length / 2, length - 2}) {
                QByteArray line(length, 'y');
                line.replace(at, 2, "ab");
                text += line + ends[(length + at) % 3];
                expected.append(line);
                text += QByteArray(length, 'z') + ends[length % 3];
            }
        }
        const QString path = dir_.filePath("ends.CSV");
        QVERIFY(ktest::WriteBytes(path, text));
        CheckAllSearches(text, path, "ab", expected);
        QCOMPARE(SplitRosterText(text).size(), 1 + 2 * expected.size());
    }

    void searchOfKenAllMatchesItsUnicodeReading_data()
    {
        QTest::addColumn<QString>("key");
        for (const char16_t* key : {u"札幌", u"\\", u"ｿ", u"表", u"ﾎｯｶｲﾄﾞｳ", u"1", u"\"東京都\",\"千代田区\""})
            QTest::newRow(QString::fromUtf16(key).toUtf8().constData()) << QString::fromUtf16(key);
    }

    void searchOfKenAllMatchesItsUnicodeReading()
    {
        QFETCH(QString, key);
        QList<QByteArray> expected;
        for (const QString& line : std::as_const(kenAllLines_)) {
            if (line.contains(key))
                expected.append(Sj(line));
        }
        CheckAllSearches(kenAll_, dir_.filePath("KEN_ALL.CSV"), Sj(key), expected);
        if (key == u"\\")   // the file holds the byte only as a second byte
            QVERIFY(expected.isEmpty() && kenAll_.contains('\\'));
        else
            QVERIFY(!expected.isEmpty());
    }

    void rosterIsFoundWhateverTheCaseOfCsv()
    {
        const QString path = dir_.filePath(u"H22入学.CSV"_qs);
        QCOMPARE(FindExistingEntry(path), QString());
        QVERIFY(ktest::WriteBytes(dir_.filePath(u"H22入学.csv"_qs), "h"));
        QCOMPARE(FindExistingEntry(path), dir_.filePath(u"H22入学.csv"_qs));   // on Windows too, as on disk
#ifndef Q_OS_WIN   // where case counts, a second spelling can be a second entry
        QVERIFY(QDir(dir_.path()).mkdir(u"H22入学.CSV"_qs));   // a folder answers too, and comes first
        QCOMPARE(FindExistingEntry(path), path);
#endif
    }

    // A typed reading is looked for in the file's own encoding, and the
    // lines found read back as the text that was written.
    void typedTextIsSearchedInTheFilesEncoding_data()
    {
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        const QString kawada = u"2,かわだ,川田"_qs;
        const QString smile = u"3,えみ,笑😀"_qs;
        QTest::newRow("Shift-JIS") << false << u" かわだ"_qs << QStringList{kawada};
        QTest::newRow("UTF-8") << true << u"かわだ "_qs << QStringList{kawada};
        QTest::newRow("UTF-8 beyond Shift-JIS") << true << u"😀"_qs << QStringList{smile};
        QTest::newRow("Shift-JIS cannot hold the key") << false << u"😀"_qs << QStringList{};
    }

    void typedTextIsSearchedInTheFilesEncoding()
    {
        QFETCH(bool, utf8);
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        const QString text = u"ID,よみ,名前\r\n1,やまだ,山田\r\n2,かわだ,川田\r\n"_qs;
        const QByteArray bytes = utf8 ? "\xEF\xBB\xBF" + (text + u"3,えみ,笑😀"_qs).toUtf8() : Sj(text);
        const QString path = dir_.filePath("typed.CSV");
        QVERIFY(ktest::WriteBytes(path, bytes));
        const Result<FoundLines> search = FindTextInRosterFile(path, typed);
        QVERIFY(search.has_value());
        QCOMPARE(search->encoding(), utf8 ? RosterEncoding::Utf8 : RosterEncoding::ShiftJis);
        QStringList shown;
        for (qsizetype i = 0; i < search->size(); ++i)
            shown << search->text(i);
        QCOMPARE(shown, found);
    }

    void foundLinesKeepTheirBytes_data()
    {
        QTest::addColumn<qint64>("room");    // taken before the first line, or 0
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("copyAt");     // lines before a copy is taken, or -1
        QTest::addColumn<bool>("squeeze");
        QTest::newRow("grown line by line") << qint64(0) << 3000 << -1 << false;
        QTest::newRow("room for a large roster") << qint64(5'000'000) << 3000 << -1 << false;
        QTest::newRow("more than the room") << qint64(100) << 3000 << -1 << false;
        QTest::newRow("copy with room left") << qint64(5'000'000) << 3000 << 1000 << false;
        QTest::newRow("copy of a full block") << qint64(0) << 3000 << 1024 << false;
        QTest::newRow("squeezed") << qint64(5'000'000) << 3000 << -1 << true;
        QTest::newRow("squeezed empty") << qint64(5'000'000) << 0 << -1 << true;
    }

    // Lines appended after a copy was taken go to each object alone: a copy
    // shares the bytes until one of them appends.
    void foundLinesKeepTheirBytes()
    {
        QFETCH(qint64, room);
        QFETCH(int, count);
        QFETCH(int, copyAt);
        QFETCH(bool, squeeze);
        const auto lineOf = [](int i, char c) { return QByteArray(i % 37, c) + QByteArray::number(i); };
        FoundLines lines;
        FoundLines copy;
        if (room > 0)
            lines.reserveFor(room);
        for (int i = 0; i < count; ++i) {
            if (i == copyAt)
                copy = lines;
            lines.append(lineOf(i, 'a'));
            if (copyAt >= 0 && i >= copyAt)
                copy.append(lineOf(i, 'b'));
        }
        if (squeeze)
            lines.squeeze();
        QCOMPARE(lines.size(), count);
        QCOMPARE(copy.size(), copyAt < 0 ? 0 : count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(lines.line(i), lineOf(i, 'a'));
            if (copyAt >= 0)
                QCOMPARE(copy.line(i), lineOf(i, i < copyAt ? 'a' : 'b'));
        }
    }

    void rosterThatCannotBeOpenedIsReported()
    {
        const QString folder = dir_.filePath(u"H23入学.CSV"_qs);
        QVERIFY(QDir(dir_.path()).mkdir(u"H23入学.CSV"_qs));
        const QString message = u"ﾌｧｲﾙ "_qs + QDir::toNativeSeparators(folder) + u" は開けません"_qs;
        const Result<RosterLines> read = ReadRosterLines(folder);
        const Result<FoundLines> searched = FindRosterLinesInFile(folder, "a");
        QVERIFY(!read && !searched);
        for (const IoError& error : {read.error(), searched.error()}) {
            QCOMPARE(error.code, int(AccessDenied));
            QCOMPARE(error.message, message);
        }
        QCOMPARE(ReadRosterLines(dir_.filePath("missing.CSV")).error().code, int(FileNotFound));
    }
};

QTEST_GUILESS_MAIN(RosterFile)
#include "tst_roster_file.moc"
