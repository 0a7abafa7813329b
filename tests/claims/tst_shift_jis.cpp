// Texts of claims and rosters are Windows Shift-JIS bytes; they must read as
// the characters the office sees on Windows and come back byte for byte.

#include "claims/ShiftJis.h"

#include <QStringDecoder>
#include <QtTest>

using namespace claims;

class ShiftJisText : public QObject {
    Q_OBJECT

private slots:
    void converterIsPresentAndWindowsFlavoured() { QVERIFY(ShiftJisAvailable()); }

    void bytesReadAsWindowsCharacters_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("writtenBack");
        auto row = [](const char* name, const QByteArray& bytes, const QString& text,
                      const QByteArray& back = QByteArray()) {
            QTest::newRow(name) << bytes << text << (back.isNull() ? bytes : back);
        };
        row("full-width hyphen", "\x81\x7C", u"\uFF0D"_qs);
        row("wave dash", "\x81\x60", u"\uFF5E"_qs);
        row("backslash", "\x5C", u"\\"_qs);
        row("tilde", "~", u"~"_qs);
        row("circled one", "\x87\x40", u"①"_qs);
        row("roman numerals", "\x87\x54\xFA\x40", u"Ⅰⅰ"_qs);
        row("half-width katakana", "\xA1\xB1\xDF", u"｡ｱﾟ"_qs);
        row("double circle", "\x81\x9D", u"◎"_qs);
        row("full-width signs", "\x81\x5F\x81\x50\x81\x91\x81\x92\x81\xCA\x81\x61",
            u"\uFF3C\uFFE3\uFFE0\uFFE1\uFFE2\u2225"_qs);
        row("second byte 5C", "\x95\x5C\x83\x5C\x94\x5C\x8F\x5C", u"表ソ能十"_qs);
        row("ideographic space", "\x81\x40", u"\u3000"_qs);
        row("control bytes unchanged", QByteArray("\x00\x01\x1A\x1C\x7F", 5),
            QString::fromUtf16(u"\u0000\u0001\u001A\u001C\u007F", 5));
        row("claim name", "\x90\xBF" "1024-2", u"請1024-2"_qs);
        row("user-defined area", "\xF0\x40", u"\uE000"_qs);
        row("NEC-selected duplicate", "\xED\x40", u"纊"_qs, "\xFA\x5C");
    }

    void bytesReadAsWindowsCharacters()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QByteArray, writtenBack);
        QCOMPARE(FromShiftJis(bytes), text);
        QCOMPARE(FromShiftJisExact(bytes), text);
        QCOMPARE(ToShiftJis(text), writtenBack);
    }

    void textThatShiftJisCannotHoldIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("emoji") << u"あ😀い"_qs;
        QTest::newRow("yen sign") << u"¥100"_qs;
        QTest::newRow("minus sign") << u"\u2212"_qs;
        QTest::newRow("JIS wave dash") << u"\u301C"_qs;
        QTest::newRow("overline") << u"\u203E"_qs;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800));
    }

    void textThatShiftJisCannotHoldIsRefused()
    {
        QFETCH(QString, text);
        QCOMPARE(ToShiftJis(text), std::nullopt);
    }

    void bytesThatFormNoCharacterShowAsReplacement_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("broken pairs and stray bytes") << QByteArray("\x81\x0A\x80\xA0\xFD") << u"\uFFFD\n\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("first byte at the end") << QByteArray("a\x82") << u"a\uFFFD"_qs;
        QTest::newRow("first byte before a blank") << QByteArray("\x81 ") << u"\uFFFD "_qs;
        QTest::newRow("unassigned pair") << QByteArray("\x85\x40") << u"\uFFFD"_qs;
    }

    void bytesThatFormNoCharacterShowAsReplacement()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(FromShiftJis(bytes), shown);
        QCOMPARE(FromShiftJisExact(bytes), std::nullopt);
    }

    // Double-byte characters are read from a table made once; a long run of
    // them must read exactly as the converter reads the run, also when a pair
    // that forms no character stands among them.
    void longRunsReadAsTheConverterReadsThem()
    {
        QByteArray run;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC && IsShiftJisLeadByte(uchar(lead)); ++trail) {
                const char pair[] = {char(lead), char(trail)};
                if (trail != 0x7F && FromShiftJisExact(QByteArrayView(pair, 2)))
                    run.append(pair, 2);
            }
        }
        QVERIFY(run.size() / 2 > 9000);
        QStringDecoder converter("Shift_JIS", QStringConverter::Flag::Stateless);
        const QString expected = converter(run);
        QCOMPARE(FromShiftJis(run), expected);
        QCOMPARE(FromShiftJisExact(run), std::optional<QString>(expected));

        const QByteArray broken = run.first(400) + "\x85\x40" + run.sliced(400, 400);
        QStringDecoder again("Shift_JIS", QStringConverter::Flag::Stateless);
        QCOMPARE(FromShiftJis(broken), QString(again(broken)).replace(QChar(0x1A), QChar(0xFFFD)));
        QCOMPARE(FromShiftJis(broken).count(QChar(0xFFFD)), 1);
        QCOMPARE(FromShiftJisExact(broken), std::nullopt);
        QCOMPARE(FromShiftJis("a" + run.first(4) + "b\x81"), u"a　、b\uFFFD"_qs);
    }

    void everyReadableDoubleByteCharacterCanBeWrittenBack()
    {
        int readable = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC && IsShiftJisLeadByte(uchar(lead)); ++trail) {
                const char pair[] = {char(lead), char(trail)};
                const std::optional<QString> text = FromShiftJisExact(QByteArrayView(pair, 2));
                if (!text)
                    continue;
                ++readable;
                const std::optional<QByteArray> back = ToShiftJis(*text);
                QVERIFY2(back && FromShiftJisExact(*back) == text, qPrintable(QByteArray(pair, 2).toHex()));
            }
        }
        QVERIFY(readable > 9000);   // JIS X 0208, the Windows additions and the user-defined area
    }
};

QTEST_GUILESS_MAIN(ShiftJisText)
#include "tst_shift_jis.moc"
