#pragma once
// The totals of the board's payment notices (支払通知書) as the office typed
// them, one a payment day, kept beside the status files as
// 請求状況/支払通知.CSV so that every PC checks against the same: Shift-JIS,
// a line of column names (支払日,通知額), then one line a payment day.
// Columns are found by their names; columns and lines this program does not
// know are kept as they stood. It is not a claim's status file: the list
// of claims passes it by, as it passes 学校.CSV.

#include "store/GuardedFile.h"
#include "files/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace claims {

struct NoticeTotal {
    QDate paidDate;
    qint64 total = 0;                 // yen
    QList<QByteArray> extra;          // the unknown columns' fields
    bool operator==(const NoticeTotal&) const = default;
};

struct PaymentNotices {
    QList<QByteArray> extraColumns;   // names of the columns this program does not know
    QList<NoticeTotal> totals;        // in the order of the file; one a day
    QList<QByteArray> keptLines;      // lines not understood, as they stood

    std::optional<qint64> TotalOn(QDate paidDate) const;
    // Sets the day's total, or takes it away when total is nothing.
    void Set(QDate paidDate, std::optional<qint64> total);
    bool operator==(const PaymentNotices&) const = default;
};

QString PaymentNoticesPath(const QString& workDir);

PaymentNotices ParsePaymentNotices(QByteArrayView bytes);
QByteArray FormatPaymentNotices(const PaymentNotices& notices);

// A missing file reads as no totals typed yet.
Result<Stamped<PaymentNotices>> ReadPaymentNotices(const QString& workDir);

// Written as status files are: a guarded file, the old one kept in the
// history, only while it is still as expected.
Result<FileStamp> WritePaymentNotices(const QString& workDir, const PaymentNotices& notices,
                                      const std::optional<FileStamp>& expected);

} // namespace claims
