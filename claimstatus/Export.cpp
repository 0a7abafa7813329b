#include "claimstatus/Export.h"

#include "rosters/RosterFile.h"
#include "claimstatus/ClaimList.h"
#include "files/Csv.h"
#include "files/FileAccess.h"
#include "files/ShiftJis.h"
#include "claimstatus/StatusFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace claims {
namespace {

bool IsKeptFolder(const QString& name)
{
    return name.compare(QLatin1String("seikyu"), Qt::CaseInsensitive) == 0 || name == u"請求状況"
           || name == u"履歴";
}

// The folder the export would go into, as the file system names it: a link
// or a "..", too, leads to where it really is.
bool LiesInKeptFolder(const QString& path)
{
    QString folder = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(path).absolutePath());
    const QStringList parts = folder.split(u'/', Qt::SkipEmptyParts);
    return std::any_of(parts.begin(), parts.end(), IsKeptFolder);
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// A claim file begins with its own name: "請<ID>-<n>,name,sex".
bool HoldsClaim(QByteArrayView bytes)
{
    const QList<CsvRecord> records = ReadCsv(bytes);
    QByteArray id;
    int occurrence = 0;
    return !records.isEmpty() && !records.first().fields.isEmpty()
           && SplitClaimFileName(FromShiftJis(records.first().fields.first()) + QStringLiteral(".CSV"), id,
                                 occurrence);
}

bool IsKeptFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    QByteArray id;
    int occurrence = 0;
    if (SplitClaimFileName(name, id, occurrence) || IsRosterFileName(name))
        return true;
    FileReader reader(path);
    QByteArray start(4096, '\0');
    const qsizetype n = reader.Read(start.data(), start.size());
    start.truncate(qMax<qsizetype>(n, 0));
    return HoldsClaim(start) || IsStatusFileText(start);
}

// Digits with an optional sign in front and thousands commas.
bool IsPlainNumber(const QString& text)
{
    const qsizetype start = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
    return text.size() > start && IsDigit(text[start])
           && std::all_of(text.begin() + start, text.end(), [](QChar c) { return IsDigit(c) || c == u','; });
}

QList<QByteArray> Guarded(const QStringList& texts, QStringList* unencodable)
{
    QList<QByteArray> fields;
    for (const QString& text : texts) {
        const QString shown = SpreadsheetText(text);
        if (!unencodable) {
            fields.append(shown.toUtf8());
            continue;
        }
        const std::optional<QByteArray> bytes = ToShiftJis(shown);
        if (!bytes)
            unencodable->append(text);
        fields.append(bytes.value_or(QByteArray()));
    }
    return fields;
}

} // namespace

std::optional<QString> ExportRefusal(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (LiesInKeptFolder(path))
        return shown + QStringLiteral("\nこのフォルダには請求・請求状況・履歴のファイルが入っているので、"
                                      "CSV出力できません。別のフォルダを選んで下さい。");
    if (EntryExists(path) && IsKeptFile(path))
        return shown + QStringLiteral("\nこのファイルは Kiboru の請求・請求状況・名簿のファイルなので、"
                                      "上書きできません。別の名前を付けて下さい。");
    return std::nullopt;
}

QString SpreadsheetText(const QString& text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (text.isEmpty() || !formulaStarts.contains(text.front()) || IsPlainNumber(text))
        return text;
    return u'\'' + text;
}

ExportBytes ShiftJisCsv(const QList<QStringList>& lines)
{
    ExportBytes out;
    for (int i = 0; i < lines.size(); ++i) {
        QStringList unencodable;
        const QByteArray line = CsvLine(Guarded(lines[i], &unencodable));
        if (!unencodable.isEmpty()) {
            out = {QByteArray(), i + 1, unencodable.first()};
            return out;
        }
        out.bytes += line;
    }
    return out;
}

QByteArray Utf8Csv(const QList<QStringList>& lines)
{
    QByteArray out = "\xEF\xBB\xBF";
    for (const QStringList& line : lines)
        out += CsvLine(Guarded(line, nullptr));
    return out;
}

} // namespace claims
