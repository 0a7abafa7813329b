#include "claimstatus/StatusFile.h"

#include "claims/ClaimFile.h"
#include "files/Csv.h"
#include "files/FileAccess.h"
#include "files/ShiftJis.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace claims {
namespace {

enum Column {
    Year, Month, State, ClaimDate, Points, PaidDate, Amount, Note, HandedDate, PayMethod,
    HandedBy, CheckedBy, ReceiptDate, KnownColumns
};

const char16_t* const kColumnNames[KnownColumns] = {u"診療年", u"診療月", u"状況", u"請求日",
                                                    u"点数",   u"支払日", u"支払額", u"メモ",
                                                    u"保護者支払日", u"支払方法",
                                                    u"渡した人", u"確認者", u"受領書"};
const char16_t* const kStateTexts[kClaimStateCount] = {u"未請求", u"書類待ち", u"請求済", u"支払済", u"対象外"};
const char kDateFormat[] = "yyyy/MM/dd";

// Where each known column stands in the file, which columns are unknown,
// and how many columns the file names.
struct ColumnMap {
    int at[KnownColumns];
    QList<int> extra;
    int width = KnownColumns;
};

ColumnMap DefaultColumns()
{
    ColumnMap map;
    for (int c = 0; c < KnownColumns; ++c)
        map.at[c] = c;
    return map;
}

// A first line that names the year and month columns, wherever a
// spreadsheet has moved them.
bool IsHeader(const CsvRecord& record)
{
    const auto names = [&](Column c) {
        return std::any_of(record.fields.begin(), record.fields.end(),
                           [&](const QByteArray& field) { return FromShiftJis(field) == QStringView(kColumnNames[c]); });
    };
    return names(Year) && names(Month);
}

ColumnMap ColumnsOfHeader(const CsvRecord& header, StatusFile& file)
{
    ColumnMap map;
    std::fill(std::begin(map.at), std::end(map.at), -1);
    map.width = int(header.fields.size());
    for (int i = 0; i < header.fields.size(); ++i) {
        const QString name = FromShiftJis(header.fields[i]);
        const auto known = std::find_if(std::begin(kColumnNames), std::end(kColumnNames),
                                        [&](const char16_t* n) { return name == QStringView(n); });
        const int c = int(known - std::begin(kColumnNames));
        if (c < KnownColumns && map.at[c] < 0) {
            map.at[c] = i;
        } else {
            map.extra.append(i);
            file.extraColumns.append(header.fields[i]);
        }
    }
    return map;
}

QByteArray FieldAt(const CsvRecord& record, int index)
{
    return index >= 0 && index < record.fields.size() ? record.fields[index] : QByteArray();
}

bool ReadDate(const QByteArray& field, QDate& date)
{
    if (field.isEmpty())
        return true;
    date = QDate::fromString(QString::fromLatin1(field), QStringLiteral("yyyy/M/d"));
    return date.isValid();
}

bool ReadNumber(const QByteArray& field, std::optional<qint64>& number)
{
    if (field.isEmpty())
        return true;
    number = ReadAmount(QString::fromLatin1(field));
    return number.has_value();
}

// Whether the file's columns stand as this program writes them: the known
// ones in their order, then the unknown ones.
bool IsWrittenOrder(const ColumnMap& map)
{
    for (int c = 0; c < KnownColumns; ++c) {
        if (map.at[c] != c)
            return false;
    }
    for (int i = 0; i < map.extra.size(); ++i) {
        if (map.extra[i] != KnownColumns + i)
            return false;
    }
    return true;
}

// A line that could not be read, as it stood. When the file's columns stand
// in another order than they are written in, its fields move with their
// columns, so that each stays under its column's name; fields beyond the
// named columns follow.
QByteArray KeptLine(const CsvRecord& record, const ColumnMap& map)
{
    if (record.broken || IsWrittenOrder(map))
        return record.raw;
    QList<QByteArray> fields;
    for (int c = 0; c < KnownColumns; ++c)
        fields.append(FieldAt(record, map.at[c]));
    for (int i : map.extra)
        fields.append(FieldAt(record, i));
    fields += record.fields.mid(map.width);
    return CsvLine(fields).chopped(2);   // without its CR LF
}

// The month status of a line; an empty text when it was read, otherwise why not.
QString ReadMonth(const CsvRecord& record, const ColumnMap& map, MonthStatus& status)
{
    if (record.broken)
        return QStringLiteral("引用符が閉じていません");
    const std::optional<qint64> year = ReadAmount(QString::fromLatin1(FieldAt(record, map.at[Year])));
    const std::optional<qint64> month = ReadAmount(QString::fromLatin1(FieldAt(record, map.at[Month])));
    if (!year || !month || *year < 1900 || *year > 9000 || *month < 1 || *month > 12)
        return QStringLiteral("診療年・診療月が正しくありません");
    status.month = {int(*year), int(*month)};
    const std::optional<QString> state = FromShiftJisExact(FieldAt(record, map.at[State]));
    const std::optional<QString> note = FromShiftJisExact(FieldAt(record, map.at[Note]));
    const std::optional<QString> method = FromShiftJisExact(FieldAt(record, map.at[PayMethod]));
    const std::optional<QString> handedBy = FromShiftJisExact(FieldAt(record, map.at[HandedBy]));
    const std::optional<QString> checkedBy = FromShiftJisExact(FieldAt(record, map.at[CheckedBy]));
    if (!state || !note || !method || !handedBy || !checkedBy)
        return QStringLiteral("Shift-JIS として読めない文字があります");
    if (!state->isEmpty()) {
        const std::optional<ClaimState> known = StateFromText(*state);
        if (!known)
            return QStringLiteral("状況「%1」は使えません").arg(*state);
        status.state = *known;
    }
    status.note = *note;
    status.payMethod = *method;
    status.handedBy = *handedBy;
    status.checkedBy = *checkedBy;
    if (!ReadDate(FieldAt(record, map.at[ClaimDate]), status.claimDate)
        || !ReadDate(FieldAt(record, map.at[PaidDate]), status.paidDate)
        || !ReadDate(FieldAt(record, map.at[HandedDate]), status.handedDate)
        || !ReadDate(FieldAt(record, map.at[ReceiptDate]), status.receiptDate))
        return QStringLiteral("日付が正しくありません");
    if (!ReadNumber(FieldAt(record, map.at[Points]), status.points)
        || !ReadNumber(FieldAt(record, map.at[Amount]), status.amount))
        return QStringLiteral("点数・支払額が数字ではありません");
    for (int i : map.extra)
        status.extra.append(FieldAt(record, i));
    return QString();
}

QByteArray DateField(QDate date)
{
    return date.isValid() ? date.toString(QLatin1String(kDateFormat)).toLatin1() : QByteArray();
}

QByteArray NumberField(const std::optional<qint64>& number)
{
    return number ? QByteArray::number(*number) : QByteArray();
}

std::optional<QByteArray> MonthLine(const MonthStatus& m, qsizetype extraCount)
{
    const std::optional<QByteArray> note = ToShiftJis(m.note);
    const std::optional<QByteArray> state = ToShiftJis(StateText(m.state));
    const std::optional<QByteArray> method = ToShiftJis(m.payMethod);
    const std::optional<QByteArray> handedBy = ToShiftJis(m.handedBy);
    const std::optional<QByteArray> checkedBy = ToShiftJis(m.checkedBy);
    if (!note || !state || !method || !handedBy || !checkedBy)
        return std::nullopt;
    QList<QByteArray> fields{QByteArray::number(m.month.year), QByteArray::number(m.month.month),
                             *state, DateField(m.claimDate), NumberField(m.points),
                             DateField(m.paidDate), NumberField(m.amount), *note,
                             DateField(m.handedDate), *method, *handedBy, *checkedBy,
                             DateField(m.receiptDate)};
    fields += m.extra.mid(0, extraCount);
    while (fields.size() < KnownColumns + extraCount)
        fields.append(QByteArray());
    return CsvLine(fields);
}

} // namespace

QString StateText(ClaimState state)
{
    return QString::fromUtf16(kStateTexts[int(state)]);
}

std::optional<ClaimState> StateFromText(QStringView text)
{
    for (int i = 0; i < kClaimStateCount; ++i) {
        if (text == QStringView(kStateTexts[i]))
            return ClaimState(i);
    }
    return std::nullopt;
}

QStringList PayMethodTexts()
{
    return {QStringLiteral("振込"), QStringLiteral("現金"), QStringLiteral("その他")};
}

bool IsOpen(ClaimState state)
{
    return state == ClaimState::Unclaimed || state == ClaimState::AwaitingPapers;
}

bool MonthStatus::HasContent() const
{
    const bool extraText = std::any_of(extra.begin(), extra.end(), [](const QByteArray& f) { return !f.isEmpty(); });
    return state != ClaimState::Unclaimed || claimDate.isValid() || points || paidDate.isValid() || amount
           || !note.isEmpty() || handedDate.isValid() || !payMethod.isEmpty() || !handedBy.isEmpty()
           || !checkedBy.isEmpty() || receiptDate.isValid() || extraText;
}

const MonthStatus* StatusFile::Find(YearMonth month) const
{
    const auto it = std::find_if(months.begin(), months.end(), [&](const MonthStatus& m) { return m.month == month; });
    return it == months.end() ? nullptr : &*it;
}

MonthStatus& StatusFile::Edit(YearMonth month)
{
    const auto it = std::lower_bound(months.begin(), months.end(), month,
                                     [](const MonthStatus& m, YearMonth ym) { return m.month < ym; });
    if (it != months.end() && it->month == month)
        return *it;
    MonthStatus added;
    added.month = month;
    return *months.insert(it, added);
}

std::optional<qint64> ReadAmount(QStringView text)
{
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

StatusFile ParseStatusFile(QByteArrayView bytes, const QString& fileName)
{
    StatusFile file;
    QList<CsvRecord> records = ReadCsv(bytes);
    ColumnMap map = DefaultColumns();
    if (!records.isEmpty() && IsHeader(records.first()))
        map = ColumnsOfHeader(records.takeFirst(), file);
    for (const CsvRecord& record : records) {
        MonthStatus status;
        QString problem = ReadMonth(record, map, status);
        // A line with nothing recorded is as if it were not there (it is not
        // written back either), so another line of its month is no repeat.
        if (problem.isEmpty() && !status.HasContent())
            continue;
        if (problem.isEmpty() && file.Find(status.month))
            problem = QStringLiteral("同じ診療月がもう一度あります");
        if (problem.isEmpty()) {
            file.Edit(status.month) = status;
            continue;
        }
        file.keptLines.append(KeptLine(record, map));
        file.problems.append(QStringLiteral("%1 %2行目: %3").arg(fileName).arg(record.line).arg(problem));
    }
    return file;
}

std::optional<QByteArray> FormatStatusFile(const StatusFile& file)
{
    QList<QByteArray> header;
    for (const char16_t* name : kColumnNames) {
        const std::optional<QByteArray> bytes = ToShiftJis(QStringView(name));
        if (!bytes)
            return std::nullopt;   // a name outside Shift-JIS: nothing is written rather than a garbled file
        header.append(*bytes);
    }
    QByteArray out = CsvLine(header + file.extraColumns);
    for (const MonthStatus& m : file.months) {
        if (!m.HasContent())
            continue;
        const std::optional<QByteArray> line = MonthLine(m, file.extraColumns.size());
        if (!line)
            return std::nullopt;
        out += *line;
    }
    for (const QByteArray& kept : file.keptLines)
        out += kept + "\r\n";
    return out;
}

bool IsStatusFileText(QByteArrayView bytes)
{
    const QList<CsvRecord> records = ReadCsv(bytes.first(qMin<qsizetype>(bytes.size(), 4096)));
    return !records.isEmpty() && IsHeader(records.first());
}

QString StatusFolder(const QString& workDir)
{
    return workDir + QStringLiteral("/請求状況");
}

QString StatusFilePath(const QString& workDir, QByteArrayView id, int occurrence)
{
    return ClaimName{id.toByteArray(), occurrence}.PathIn(StatusFolder(workDir));
}

IoResult MakeStatusFolder(const QString& workDir)
{
    const QString folder = StatusFolder(workDir);
    if (QFileInfo(folder).isDir() || QDir().mkdir(folder))
        return IoResult();
    return IoFailure(QFileInfo(workDir).isDir() ? AccessDenied : PathNotFound);
}

Result<Stamped<StatusFile>> ReadStatusFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return GuardedFile(path).ReadAs<StatusFile>([&](QByteArrayView bytes) { return ParseStatusFile(bytes, name); });
}

Result<FileStamp> WriteStatusFile(const QString& workDir, QByteArrayView id, int occurrence, const StatusFile& file,
                                  const std::optional<FileStamp>& expected)
{
    return WriteInStatusFolder(workDir, StatusFilePath(workDir, id, occurrence), FormatStatusFile(file), expected);
}

Result<FileStamp> WriteInStatusFolder(const QString& workDir, const QString& path,
                                      const std::optional<QByteArray>& bytes, const std::optional<FileStamp>& expected)
{
    if (path.isEmpty() || !bytes)
        return Refused(Refusal::CannotEncode, IoErrorText(PathNotFound));
    if (const IoResult folder = MakeStatusFolder(workDir); !folder)
        return Failure(folder.error());
    return GuardedFile(path).Write(*bytes, expected);
}

} // namespace claims
