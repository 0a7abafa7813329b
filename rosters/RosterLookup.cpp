#include "rosters/RosterLookup.h"

#include "files/FileAccess.h"
#include "rosters/EntryYears.h"
#include "files/LineReader.h"
#include "files/ShiftJis.h"

#include <QDir>

#include <algorithm>

namespace claims {
namespace {

QByteArrayView Trimmed(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && uchar(bytes.front()) <= 0x20)
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && uchar(bytes.back()) <= 0x20)
        bytes.chop(1);
    return bytes;
}

// The ID of a student line as Shift-JIS bytes, whatever the roster's encoding.
QByteArray LineId(QByteArrayView line, RosterEncoding encoding)
{
    const QByteArrayView id = Trimmed(TextBefore(line, ','));
    if (encoding == RosterEncoding::ShiftJis)
        return id.toByteArray();
    return ToShiftJis(QString::fromUtf8(id)).value_or(QByteArray());
}

// Keeps the entry of the newer roster; the other is named in alsoIn.
void Take(RosterEntry found, const QByteArray& id, QHash<QByteArray, RosterEntry>& entries)
{
    auto known = entries.find(id);
    if (known == entries.end()) {
        entries.insert(id, std::move(found));
        return;
    }
    if (found.entryYear > known->entryYear)
        std::swap(found, *known);
    known->alsoIn.append(found.roster);
    std::sort(known->alsoIn.begin(), known->alsoIn.end(), [](const QString& a, const QString& b) {
        return EntryYearOfRoster(a) > EntryYearOfRoster(b);
    });
}

void ReadRoster(const QString& path, const QSet<QByteArray>& ids, QHash<QByteArray, RosterEntry>& entries,
                QStringList* problems)
{
    const Result<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes) {
        if (problems)
            problems->append(QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(path), bytes.error().message));
        return;
    }
    const RosterEncoding encoding = EncodingOf(*bytes);
    LineReader lines(TextBefore(WithoutByteOrderMark(*bytes), '\0'));
    lines.Next();   // the header line
    while (!lines.AtEnd()) {
        const QByteArrayView line = lines.Next();
        const QByteArray id = LineId(line, encoding);
        if (id.isEmpty() || !ids.contains(id))
            continue;
        const QString name = QDir(path).dirName();
        Take({SplitRosterLine(line), encoding, name, EntryYearOfRoster(name), {}}, id, entries);
    }
}

} // namespace

QString RosterEntry::Text(int field) const
{
    return RosterText(Trimmed(record.field(field)), encoding);
}

QString RosterEntry::ClassOn(QDate date) const
{
    const int grade = entryYear > 0 ? SchoolYear(date) - entryYear + 1 : 0;
    const QString classes[] = {Text(3), Text(2), Text(1)};   // 1st, 2nd, 3rd year
    if (grade >= 1 && grade <= 3 && !classes[grade - 1].isEmpty())
        return classes[grade - 1];
    for (int g = 2; g >= 0; --g) {
        if (!classes[g].isEmpty())
            return classes[g];
    }
    return QString();
}

int EntryYearOfRoster(const QString& fileName)
{
    if (!IsRosterFileName(fileName))
        return 0;
    bool ok = false;
    const int eraYear = fileName.mid(1, fileName.indexOf(u'入') - 1).toInt(&ok);
    if (!ok || eraYear <= 0)
        return 0;
    return (fileName.startsWith(u'R') ? 2018 : 1988) + eraYear;
}

QHash<QByteArray, RosterEntry> FindStudentsById(const QString& workDir, const QSet<QByteArray>& ids,
                                                QStringList* problems)
{
    QHash<QByteArray, RosterEntry> entries;
    if (ids.isEmpty())
        return entries;
    for (const QString& name : ListFileNames(workDir)) {
        if (IsRosterFileName(name))
            ReadRoster(workDir + u'/' + name, ids, entries, problems);
    }
    return entries;
}

} // namespace claims
