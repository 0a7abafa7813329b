// Texts of claims and rosters are Windows Shift-JIS bytes; they must read as
// the characters the office sees on Windows and come back byte for byte.

#include "files/ShiftJis.h"

#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

using namespace claims;

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The platform's own converter, which the table must agree with: code page
// 932 itself on Windows, ICU's "Shift_JIS" elsewhere. std::nullopt where it
// finds no character.
std::optional<QString> ReferenceRead(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    const auto read = [&](wchar_t* out, int size) {
        return MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), out, size);
    };
    QString text(read(nullptr, 0), Qt::Uninitialized);
    if (text.isEmpty() || read(reinterpret_cast<wchar_t*>(text.data()), int(text.size())) != text.size())
        return std::nullopt;
    return text;
#else
    QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError() || text.contains(QChar(kReplacement)))
        return std::nullopt;
    return text;
#endif
}

std::optional<QByteArray> ReferenceWrite(QChar c)
{
#ifdef Q_OS_WIN
    const auto unit = wchar_t(c.unicode());
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, 4, nullptr, &usedDefault);
    if (n == 0 || usedDefault)
        return std::nullopt;
    return QByteArray(bytes, n);
#else
    QStringEncoder encoder("Shift_JIS", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder(QStringView(&c, 1));
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
#endif
}

// Where Kiboru reads otherwise than a reference, on purpose. ICU swaps the
// control codes 1A, 1C and 7F. Windows reads 80 as U+0080 and A0, FD to FF
// as U+F8F0 to U+F8F3 (Wine refuses those four); no roster or claim text is
// made of them, so they show as U+FFFD.
const QHash<uchar, char16_t> kReadOtherwise = {
    {0x1A, 0x1A}, {0x1C, 0x1C}, {0x7F, 0x7F}, {0x80, kReplacement},
    {0xA0, kReplacement}, {0xFD, kReplacement}, {0xFE, kReplacement}, {0xFF, kReplacement},
};

// The same for writing: ICU swaps 1A, 1C and 7F and writes U+F86F as 87 82,
// which reads as "№"; Windows writes U+0080 and U+F8F0 to U+F8F3, which
// Kiboru does not read.
const QHash<char16_t, QByteArray> kWrittenOtherwise = {
    {0x1A, "\x1A"}, {0x1C, "\x1C"}, {0x7F, "\x7F"}, {0x80, {}},
    {0xF86F, {}}, {0xF8F0, {}}, {0xF8F1, {}}, {0xF8F2, {}}, {0xF8F3, {}},
};

QString Hex(QByteArrayView bytes) { return QString::fromLatin1(bytes.toByteArray().toHex()); }

} // namespace

class ShiftJisText : public QObject {
    Q_OBJECT

private slots:
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
        row("NEC row 13 duplicate", "\x87\x9A", u"∵"_qs, "\x81\xE6");
        row("IBM duplicate of a JIS sign", "\xFA\x54", u"\uFFE2"_qs, "\x81\xCA");
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

    // Every single byte and every pair that starts with a lead byte reads
    // as the reference reads it, but for the few listed above.
    void everyCodeReadsAsTheReference()
    {
        QStringList wrong;
        int doubleByteCharacters = 0;
        for (int first = 0; first <= 0xFF; ++first) {
            for (int second = -1; second <= 0xFF && (second < 0 || IsShiftJisLeadByte(uchar(first))); ++second) {
                const char pair[] = {char(first), char(second)};
                const QByteArrayView bytes(pair, second < 0 ? 1 : 2);
                std::optional<QString> expected = ReferenceRead(bytes);
                if (bytes.size() == 1 && kReadOtherwise.contains(uchar(first))) {
                    const char16_t c = kReadOtherwise.value(uchar(first));
                    expected = c == kReplacement ? std::nullopt : std::optional(QString(QChar(c)));
                }
                doubleByteCharacters += bytes.size() == 2 && expected && expected->size() == 1;
                if (FromShiftJisExact(bytes) != expected || (expected && FromShiftJis(bytes) != *expected))
                    wrong << Hex(bytes);
            }
        }
        QCOMPARE(wrong, QStringList());
        QCOMPARE(doubleByteCharacters, 9604);   // JIS X 0208, NEC and IBM additions, user-defined area
    }

    // Every UTF-16 unit is written as the reference writes it, or refused
    // where the reference has no exact code; what is written reads back.
    void everyCharacterWritesAsTheReference()
    {
        QStringList wrong;
        for (int unit = 0; unit <= 0xFFFF; ++unit) {
            const QChar c{char16_t(unit)};
            std::optional<QByteArray> expected = ReferenceWrite(c);
            if (kWrittenOtherwise.contains(char16_t(unit))) {
                const QByteArray bytes = kWrittenOtherwise.value(char16_t(unit));
                expected = bytes.isEmpty() ? std::nullopt : std::optional(bytes);
            }
            const std::optional<QByteArray> written = ToShiftJis(QStringView(&c, 1));
            if (written != expected || (written && FromShiftJisExact(*written) != QString(c)))
                wrong << QString::number(unit, 16);
        }
        QCOMPARE(wrong, QStringList());
    }

    // A long run of double-byte characters reads as the reference reads it,
    // and a pair that forms no character among them spoils only itself.
    void longRunsReadAsTheReferenceReadsThem()
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
        const std::optional<QString> expected = ReferenceRead(run);
        QVERIFY(expected);
        QCOMPARE(FromShiftJis(run), *expected);
        QCOMPARE(FromShiftJisExact(run), expected);

        const QByteArray broken = run.first(400) + "\x85\x40" + run.sliced(400, 400);
        QCOMPARE(FromShiftJis(broken), FromShiftJis(run.first(400)) + QChar(kReplacement)
                                           + FromShiftJis(run.sliced(400, 400)));
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
