#include "claims/ClaimFile.h"

#include "claims/ClaimLines.h"
#include "files/FileAccess.h"
#include "files/ShiftJis.h"

#include <QFileInfo>

#include <algorithm>

namespace claims {
namespace {

const char kEndOfFile = '\x1A';

void AppendJoined(QByteArray& out, const QByteArray* const* fields, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += ',';
        out += *fields[i];
    }
    out += "\r\n";
}

bool BreaksField(char16_t c)
{
    return c == u',' || c == u'\r' || c == u'\n' || c == char16_t(kEndOfFile);
}

bool CorruptsFile(QByteArrayView text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return BreaksField(uchar(c)); });
}

IoResult CheckSeikyuFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return IoFailure(PathNotFound);
    return CheckWritable(folder);
}

} // namespace

QByteArray ClaimFileName(QByteArrayView id, int occurrence)
{
    return ClaimName{id.toByteArray(), occurrence}.Stem();
}

QString SeikyuFolder(const QString& workDir)
{
    return workDir + QStringLiteral("/seikyu");
}

QString ClaimFilePath(const QString& workDir, QByteArrayView id, int occurrence)
{
    const QString path = ClaimName{id.toByteArray(), occurrence}.PathIn(SeikyuFolder(workDir));
    if (path.isEmpty())
        return QString();
    const QString existing = FindExistingEntry(path);
    return existing.isEmpty() ? path : existing;
}

bool FileCanBeRead(const QString& path)
{
    return !path.isEmpty() && FileReader(path).Outcome().has_value();
}

QStringList ListClaimFiles(const QString& workDir, QByteArrayView id)
{
    QStringList names;
    if (!IsUsableStudentId(id))
        return names;
    // One listing of the names that begin "請<ID>-": on a file server one
    // round trip, and each file once, under the name the folder holds.
    const QString prefix = FromShiftJis(ClaimName{id.toByteArray(), 1}.Stem()).chopped(1);
    for (const QString& name : ListNamesStartingWith(SeikyuFolder(workDir), prefix)) {
        const std::optional<ClaimName> parsed = ClaimName::Parse(name);
        if (parsed && parsed->id == id)
            names.append(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int OccurrenceOfClaimFile(const QString& name, QByteArrayView id)
{
    const std::optional<ClaimName> parsed = ClaimName::Parse(name);
    return parsed && parsed->id == id ? parsed->occurrence : 0;
}

void ParseClaim(QByteArrayView bytes, t_sick& header, TTreatmentTable& table)
{
    // Line 1, the claim's name and the student's name and sex, is never read back.
    const ClaimLines lines = CutClaimLines(bytes);
    const HeaderFields fields = CutHeaderLine(lines.header);
    for (int i = 0; i < t_sick::FieldCount - 1; ++i)
        header.field(i) = fields.field[i].toByteArray();
    if (fields.hasPlace)   // otherwise place keeps the value it had
        header.field(9) = fields.field[9].toByteArray();
    for (int r = 1; r <= TTreatmentTable::RowCount; ++r) {
        const RowFields row = CutRowLine(lines.rows[r - 1]);
        for (int j = 0; j < t_kyufu::SlotCount; ++j)
            table.row(r).slot[SlotOfFileField(j)] = row[j].toByteArray();
    }
}

Result<FileStamp> ReadClaimFile(const QString& path, t_sick& header, TTreatmentTable& table)
{
    const Result<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
        return Failure(bytes.error());
    ParseClaim(*bytes, header, table);
    return StampOfRead(path, *bytes);
}

QByteArray FormatClaim(QByteArrayView fileName, QByteArrayView name, QByteArrayView sex,
                       const t_sick& header, const TTreatmentTable& table)
{
    QByteArray out;
    out.reserve(2048);
    out += fileName;
    out += ',';
    out += name;
    out += ',';
    out += sex;
    out += "\r\n";
    const QByteArray* fields[t_kyufu::SlotCount];
    for (int i = 0; i < t_sick::FieldCount; ++i)
        fields[i] = &header.field(i);
    AppendJoined(out, fields, t_sick::FieldCount);
    for (const t_kyufu& row : table.rows) {
        for (int j = 0; j < t_kyufu::SlotCount; ++j)
            fields[j] = &row.slot[SlotOfFileField(j)];
        AppendJoined(out, fields, t_kyufu::SlotCount);
    }
    return out;
}

bool CorruptsClaimFile(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return BreaksField(c.unicode()); });
}

int FieldThatCorrupts(QByteArrayView name, QByteArrayView sex, const t_sick& header)
{
    if (CorruptsFile(name))
        return 0;
    if (CorruptsFile(sex))
        return 1;
    for (int i = 0; i < t_sick::FieldCount; ++i) {
        if (CorruptsFile(header.field(i)))
            return 2 + i;
    }
    return -1;
}

namespace {

Failure CannotHold(int field, const QString& message)
{
    Failure refused = Refused(Refusal::CannotEncode, message);
    refused.error().field = field;
    return refused;
}

} // namespace

Result<FileStamp> WriteClaimFile(const QString& workDir, QByteArrayView id, int occurrence,
                                 QByteArrayView name, QByteArrayView sex, const t_sick& header,
                                 const TTreatmentTable& table, const std::optional<FileStamp>& expected)
{
    return WriteClaimFileAt(workDir, ClaimFilePath(workDir, id, occurrence), id, occurrence, name, sex, header, table,
                            expected);
}

Result<FileStamp> WriteClaimFileAt(const QString& workDir, const QString& path, QByteArrayView id, int occurrence,
                                   QByteArrayView name, QByteArrayView sex, const t_sick& header,
                                   const TTreatmentTable& table, const std::optional<FileStamp>& expected)
{
    if (!IsUsableStudentId(id))
        return CannotHold(kIdField, QStringLiteral("ID番号がファイル名に使えません！！"));
    if (const int field = FieldThatCorrupts(name, sex, header); field >= 0)
        return CannotHold(field, QStringLiteral("カンマや改行は保存できません！！"));
    if (const IoResult folder = CheckSeikyuFolder(SeikyuFolder(workDir)); !folder)
        return Failure(folder.error());
    if (EntryExists(path)) {
        if (const IoResult writable = CheckWritable(path); !writable)
            return Failure(writable.error());
    }
    const QByteArray data = FormatClaim(ClaimFileName(id, occurrence), name, sex, header, table);
    return GuardedFile(path).Write(data, expected);
}

} // namespace claims
