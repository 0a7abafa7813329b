#include "store/FileNames.h"

#include "files/ShiftJis.h"

#include <algorithm>

namespace claims {
namespace {

bool IsForbiddenInName(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"/\\:*?\"<>|").contains(c);
}

// The occurrence a name's last character gives: an ASCII digit 1 .. 8, else 0.
int OccurrenceOfDigit(QChar c)
{
    const int n = c.unicode() - u'0';
    return ClaimName::IsOccurrence(n) ? n : 0;
}

} // namespace

bool IsUsableStudentId(QByteArrayView id)
{
    const std::optional<QString> text = FromShiftJisExact(id);
    if (!text || text->trimmed().isEmpty() || *text == u"." || *text == u"..")
        return false;
    if (std::any_of(text->begin(), text->end(), IsForbiddenInName))
        return false;
    // Two byte forms of one character would share a file name.
    return ToShiftJis(*text) == id.toByteArray();
}

QByteArray ClaimName::Stem() const
{
    return "\x90\xBF" + id + '-' + QByteArray::number(occurrence);   // "請"
}

QString ClaimName::FileName() const
{
    return FromShiftJis(Stem()) + QStringLiteral(".CSV");
}

QString ClaimName::PathIn(const QString& folder) const
{
    return IsUsableStudentId(id) ? folder + u'/' + FileName() : QString();
}

std::optional<ClaimName> ClaimName::Parse(QStringView fileName)
{
    if (!fileName.startsWith(u'請') || !fileName.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView stem = fileName.chopped(4);
    const qsizetype dash = stem.lastIndexOf(u'-');
    const int occurrence = OccurrenceOfDigit(stem.back());
    if (dash < 2 || dash != stem.size() - 2 || occurrence == 0)
        return std::nullopt;
    const std::optional<QByteArray> bytes = ToShiftJis(stem.sliced(1, dash - 1));
    if (!bytes || !IsUsableStudentId(*bytes))
        return std::nullopt;
    return ClaimName{*bytes, occurrence};
}

bool IsRosterFileName(const QString& name)
{
    const QString ending = QStringLiteral("入学.CSV");
    return (name.startsWith(u'H') || name.startsWith(u'R')) && name.size() <= ending.size() + 3
           && name.endsWith(ending, Qt::CaseInsensitive);
}

} // namespace claims
