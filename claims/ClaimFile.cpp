#include "claims/ClaimFile.h"

#include "files/FileAccess.h"
#include "files/LineReader.h"
#include "files/ShiftJis.h"

#include <QFileInfo>

#include <algorithm>

namespace claims {
namespace {

const char kClaimPrefix[] = "\x90\xBF";   // "請"
const char kEndOfFile = '\x1A';
constexpr int kMaxOccurrence = 8;

// Cuts fields off the front of a line, one "," at a time.
class FieldCutter {
public:
    explicit FieldCutter(QByteArrayView line) : rest_(line) {}

    // The text before the next ","; when there is none, an empty field, and
    // the rest of the line is dropped.
    QByteArray Next()
    {
        const qsizetype comma = rest_.indexOf(',');
        if (comma < 0) {
            rest_ = QByteArrayView();
            return QByteArray();
        }
        const QByteArray field = rest_.first(comma).toByteArray();
        rest_ = rest_.sliced(comma + 1);
        return field;
    }

    QByteArrayView Rest() const { return rest_; }

private:
    QByteArrayView rest_;
};

// Slot of a row that holds field j (0 .. 24) of its line in the file, where
// each month's mark comes before its label.
int SlotOfFileField(int j)
{
    if (j == 0)
        return 0;
    return j % 2 == 1 ? j + 1 : j - 1;
}

void SplitHeaderLine(QByteArrayView line, t_sick& header)
{
    FieldCutter cut(line);
    for (int i = 0; i < 8; ++i)
        header.field(i) = cut.Next();
    // The ninth separator may be missing: the rest is then the ninth field
    // and place keeps the value it had.
    const QByteArrayView rest = cut.Rest();
    const qsizetype comma = rest.indexOf(',');
    if (comma < 0) {
        header.field(8) = rest.toByteArray();
        return;
    }
    header.field(8) = rest.first(comma).toByteArray();
    header.field(9) = rest.sliced(comma + 1).toByteArray();
}

void SplitRowLine(QByteArrayView line, t_kyufu& row)
{
    FieldCutter cut(line);
    for (int j = 0; j < t_kyufu::SlotCount - 1; ++j)
        row.slot[SlotOfFileField(j)] = cut.Next();
    row.slot[SlotOfFileField(t_kyufu::SlotCount - 1)] = cut.Rest().toByteArray();
}

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

bool IsForbiddenInName(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"/\\:*?\"<>|").contains(c);
}

QString ClaimNameOnDisk(QByteArrayView id, int occurrence)
{
    return FromShiftJis(ClaimFileName(id, occurrence)) + QStringLiteral(".CSV");
}

IoResult CheckSeikyuFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return IoFailure(PathNotFound);
    return CheckWritable(folder);
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

QByteArray ClaimFileName(QByteArrayView id, int occurrence)
{
    return kClaimPrefix + id.toByteArray() + '-' + QByteArray::number(occurrence);
}

QString SeikyuFolder(const QString& workDir)
{
    return workDir + QStringLiteral("/seikyu");
}

QString ClaimFilePath(const QString& workDir, QByteArrayView id, int occurrence)
{
    if (!IsUsableStudentId(id))
        return QString();
    const QString path = SeikyuFolder(workDir) + u'/' + ClaimNameOnDisk(id, occurrence);
    const QString existing = FindExistingEntry(path);
    return existing.isEmpty() ? path : existing;
}

bool FileCanBeRead(const QString& path)
{
    return !path.isEmpty() && FileReader(path).Result().ok();
}

QStringList ListClaimFiles(const QString& workDir, QByteArrayView id)
{
    QStringList names;
    if (!IsUsableStudentId(id))
        return names;
    const QString folder = SeikyuFolder(workDir) + u'/';
    for (int n = 1; n <= kMaxOccurrence; ++n) {
        for (const QString& path : FindExistingEntries(folder + ClaimNameOnDisk(id, n)))
            names.append(path.mid(folder.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

int OccurrenceOfClaimFile(const QString& name, QByteArrayView id)
{
    if (!IsUsableStudentId(id))
        return 0;
    const QString prefix = FromShiftJis(ClaimFileName(id, 0)).chopped(1);   // "請" + ID + "-"
    if (!name.startsWith(prefix) || name.size() != prefix.size() + 5)
        return 0;
    const QChar digit = name[prefix.size()];
    const bool csv = name.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive);
    return csv && digit >= u'1' && digit <= u'8' ? digit.digitValue() : 0;
}

void ParseClaim(QByteArrayView bytes, t_sick& header, TTreatmentTable& table)
{
    LineReader reader(TextBefore(bytes, kEndOfFile));
    reader.Next();   // the claim's name, the student's name and sex: never read back
    SplitHeaderLine(reader.Next(), header);
    for (int r = 1; r <= TTreatmentTable::RowCount; ++r)
        SplitRowLine(reader.Next(), table.row(r));
}

IoResult ReadClaimFile(const QString& path, t_sick& header, TTreatmentTable& table,
                       FileStamp* stamp)
{
    const FileBytes file = ReadWholeFile(path);
    if (file.result.ok())
        ParseClaim(file.bytes, header, table);
    if (file.result.ok() && stamp)
        *stamp = StampOfRead(path, file.bytes);
    return file.result;
}

QString ClaimLockPath(const QString& workDir, QByteArrayView id, int occurrence)
{
    return SeikyuFolder(workDir) + u'/' + ClaimNameOnDisk(id, occurrence) + QStringLiteral(".lock");
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

WriteResult WriteClaimFile(const QString& workDir, QByteArrayView id, int occurrence,
                           QByteArrayView name, QByteArrayView sex, const t_sick& header,
                           const TTreatmentTable& table, const std::optional<FileStamp>& expected)
{
    WriteResult result;
    if (!IsUsableStudentId(id)) {
        result.refusal = WriteRefusal::UnusableId;
        return result;
    }
    result.field = FieldThatCorrupts(name, sex, header);
    if (result.field >= 0) {
        result.refusal = WriteRefusal::FieldText;
        return result;
    }
    result.path = ClaimFilePath(workDir, id, occurrence);
    result.io = CheckSeikyuFolder(SeikyuFolder(workDir));
    if (result.io.ok() && EntryExists(result.path))
        result.io = CheckWritable(result.path);
    if (result.io.ok()) {
        const QByteArray data = FormatClaim(ClaimFileName(id, occurrence), name, sex, header, table);
        const GuardedWrite written = ReplaceUnlessChanged(
            result.path, ClaimLockPath(workDir, id, occurrence), data, expected);
        result.io = written.io;
        result.onDisk = written.onDisk;
    }
    return result;
}

} // namespace claims
