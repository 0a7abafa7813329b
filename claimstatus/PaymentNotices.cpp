#include "claimstatus/PaymentNotices.h"

#include "claimstatus/StatusFile.h"
#include "files/Csv.h"
#include "files/ShiftJis.h"

namespace claims {
namespace {

const char kDateFormat[] = "yyyy/MM/dd";

QByteArray Sj(QStringView text)
{
    return ToShiftJis(text).value_or(QByteArray());
}

int ColumnOf(const QList<QByteArray>& names, QStringView name)
{
    for (int i = 0; i < names.size(); ++i) {
        if (FromShiftJis(names[i]).trimmed() == name)
            return i;
    }
    return -1;
}

// A day's line: its date and its total read, or nothing for a line to keep as it stood.
std::optional<NoticeTotal> ReadLine(const CsvRecord& record, int dateAt, int totalAt, const QList<int>& extraAt)
{
    const QDate date = QDate::fromString(FromShiftJis(record.fields.value(dateAt)).trimmed(), u"yyyy/M/d");
    const std::optional<qint64> total = ReadAmount(FromShiftJis(record.fields.value(totalAt)).trimmed());
    if (record.broken || !date.isValid() || !total)
        return std::nullopt;
    NoticeTotal line{date, *total, {}};
    for (int at : extraAt)
        line.extra.append(record.fields.value(at));
    return line;
}

} // namespace

std::optional<qint64> PaymentNotices::TotalOn(QDate paidDate) const
{
    for (const NoticeTotal& line : totals) {
        if (line.paidDate == paidDate)
            return line.total;
    }
    return std::nullopt;
}

void PaymentNotices::Set(QDate paidDate, std::optional<qint64> total)
{
    for (qsizetype i = 0; i < totals.size(); ++i) {
        if (totals[i].paidDate != paidDate)
            continue;
        if (total)
            totals[i].total = *total;
        else
            totals.removeAt(i);
        return;
    }
    if (total)
        totals.append({paidDate, *total, QList<QByteArray>(extraColumns.size())});
}

QString PaymentNoticesPath(const QString& workDir)
{
    return StatusFolder(workDir) + QStringLiteral("/支払通知.CSV");
}

PaymentNotices ParsePaymentNotices(QByteArrayView bytes)
{
    PaymentNotices notices;
    const QList<CsvRecord> records = ReadCsv(bytes);
    if (records.isEmpty())
        return notices;
    const QList<QByteArray>& names = records[0].fields;
    const int dateAt = ColumnOf(names, u"支払日");
    const int totalAt = ColumnOf(names, u"通知額");
    if (dateAt < 0 || totalAt < 0) {
        for (const CsvRecord& record : records)
            notices.keptLines.append(record.raw);
        return notices;
    }
    QList<int> extraAt;
    for (int i = 0; i < names.size(); ++i) {
        if (i != dateAt && i != totalAt) {
            extraAt.append(i);
            notices.extraColumns.append(names[i]);
        }
    }
    for (qsizetype r = 1; r < records.size(); ++r) {
        const std::optional<NoticeTotal> line = ReadLine(records[r], dateAt, totalAt, extraAt);
        if (line && !notices.TotalOn(line->paidDate))
            notices.totals.append(*line);
        else
            notices.keptLines.append(records[r].raw);
    }
    return notices;
}

QByteArray FormatPaymentNotices(const PaymentNotices& notices)
{
    QByteArray out;
    if (!notices.totals.isEmpty() || !notices.extraColumns.isEmpty() || notices.keptLines.isEmpty())
        out = CsvLine(QList<QByteArray>{Sj(u"支払日"), Sj(u"通知額")} + notices.extraColumns);
    for (const NoticeTotal& line : notices.totals) {
        QList<QByteArray> fields{line.paidDate.toString(QLatin1String(kDateFormat)).toLatin1(),
                                 QByteArray::number(line.total)};
        for (qsizetype i = 0; i < notices.extraColumns.size(); ++i)
            fields.append(line.extra.value(i));
        out += CsvLine(fields);
    }
    for (const QByteArray& kept : notices.keptLines)
        out += kept + "\r\n";
    return out;
}

Result<Stamped<PaymentNotices>> ReadPaymentNotices(const QString& workDir)
{
    return GuardedFile(PaymentNoticesPath(workDir)).ReadAs<PaymentNotices>(ParsePaymentNotices);
}

Result<FileStamp> WritePaymentNotices(const QString& workDir, const PaymentNotices& notices,
                                      const std::optional<FileStamp>& expected)
{
    return WriteInStatusFolder(workDir, PaymentNoticesPath(workDir), FormatPaymentNotices(notices), expected);
}

} // namespace claims
