#pragma once
// What the deadline list's CSV export writes, and where it may not write:
// an export never takes the place of a file the program keeps.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace claims {

// Why path may not receive an export, as the message says it; nothing when
// it may. Refused are paths inside a folder "seikyu", "請求状況" or "履歴"
// (of any data folder), and any existing claim file, status file or roster,
// by its name or by what it holds.
std::optional<QString> ExportRefusal(const QString& path);

// A text as a spreadsheet should show it: one that it would take for a
// formula (beginning with =, +, -, @, a tab or CR) gets a leading "'",
// unless it is a plain number such as a count of days.
QString SpreadsheetText(const QString& text);

struct ExportBytes {
    QByteArray bytes;          // the whole file, when every text fitted
    int unencodableLine = 0;   // the first line (from 1) that Shift-JIS cannot hold, 0 when none
    QString unencodableText;   // that line's first such field
};

// The lines as Shift-JIS CSV, each ended by CR LF, every field guarded.
ExportBytes ShiftJisCsv(const QList<QStringList>& lines);

// The same as UTF-8 with a byte-order mark, which spreadsheets open as it is.
QByteArray Utf8Csv(const QList<QStringList>& lines);

} // namespace claims
