#include "rosters/Kana.h"

#include <QDate>
#include <QRegularExpression>

namespace claims {
namespace {

bool IsHalfWidthKana(QChar c)
{
    return c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F;
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

// ァ .. ン have their hiragana 0x60 below them; ヴ, ヵ, ヶ and ヷ .. ヺ have
// none that Shift-JIS can hold.
QChar HiraganaOf(QChar c)
{
    if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F3)
        return QChar(c.unicode() - 0x60);
    return c;
}

// The era form of a date: H20.4.2; the date itself when it is before 昭和.
QString EraDate(QDate date)
{
    struct Era { QDate first; char letter; int firstYear; };
    static const Era eras[] = {{QDate(2019, 5, 1), 'R', 2019},
                               {QDate(1989, 1, 8), 'H', 1989},
                               {QDate(1926, 12, 25), 'S', 1926}};
    for (const Era& era : eras) {
        if (date >= era.first)
            return QStringLiteral("%1%2.%3.%4").arg(QLatin1Char(era.letter)).arg(date.year() - era.firstYear + 1)
                .arg(date.month()).arg(date.day());
    }
    return date.toString(QStringLiteral("yyyy/M/d"));
}

int EraFirstYear(QStringView era)
{
    if (era == u"令和")
        return 2019;
    if (era == u"平成")
        return 1989;
    return era == u"昭和" ? 1926 : 0;
}

} // namespace

QString FullWidthKatakana(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype end = i;
        while (end < text.size() && IsHalfWidthKana(text[end]))
            ++end;
        if (end == i) {
            out += text[i++];
            continue;
        }
        QString run = text.sliced(i, end - i).toString().normalized(QString::NormalizationForm_KC);
        run.replace(QChar(0x3099), QChar(0x309B)).replace(QChar(0x309A), QChar(0x309C));   // marks left alone
        out += run;
        i = end;
    }
    return out;
}

QString Hiragana(QStringView text)
{
    QString out = FullWidthKatakana(text);
    for (QChar& c : out)
        c = HiraganaOf(c);
    return out;
}

QString TrimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString OneFullWidthSpace(QStringView text)
{
    QString out;
    bool inBlanks = false;
    for (QChar c : TrimmedBlanks(text)) {
        if (IsBlank(c)) {
            inBlanks = true;
            continue;
        }
        if (inBlanks)
            out += QChar(0x3000);
        inBlanks = false;
        out += c;
    }
    return out;
}

QString AsciiDigits(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(c.unicode() - 0xFF10 + u'0');
    }
    return out;
}

QString RosterDate(QStringView text)
{
    static const QRegularExpression western(QStringLiteral("^(\\d{4})[/\\-.年](\\d{1,2})[/\\-.月](\\d{1,2})日?$"));
    static const QRegularExpression era(QStringLiteral("^(令和|平成|昭和)(\\d{1,2}|元)年(\\d{1,2})月(\\d{1,2})日$"));
    const QString digits = AsciiDigits(text);
    QRegularExpressionMatch m = western.match(digits);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return date.isValid() ? EraDate(date) : digits;
    }
    m = era.match(digits);
    if (m.hasMatch()) {
        const int year = m.captured(2) == u"元" ? 1 : m.captured(2).toInt();
        const QDate date(EraFirstYear(m.captured(1)) + year - 1, m.captured(3).toInt(), m.captured(4).toInt());
        return date.isValid() ? EraDate(date) : digits;
    }
    return text.toString();
}

QString RosterClass(QStringView text, int year)
{
    static const QRegularExpression named(QStringLiteral("^([1-3])年\\s*(\\d{1,2})組$"));
    static const QRegularExpression number(QStringLiteral("^\\d{1,2}$"));
    const QString digits = AsciiDigits(text);
    const QRegularExpressionMatch m = named.match(digits);
    if (m.hasMatch())
        return m.captured(1) + u'-' + m.captured(2);
    if (number.match(digits).hasMatch())
        return QString::number(year) + u'-' + digits;
    return text.toString();
}

} // namespace claims
