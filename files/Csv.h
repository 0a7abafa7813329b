#pragma once
// Comma-separated text as a spreadsheet writes and reads it: a field that
// holds a ",", a double quote, CR or LF stands in double quotes, a quote
// inside doubled. Works on Shift-JIS bytes: no trail byte of a double-byte
// character has the value of any of these four.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace claims {

struct CsvRecord {
    QList<QByteArray> fields;
    QByteArray raw;          // the record's bytes as they stood, without its line end
    int line = 0;            // the line it starts on, from 1
    bool broken = false;     // a quote left open or followed by other text
};

// Every record of the text; empty lines are skipped. The separator may be
// a tab instead, as in the tab-separated text that spreadsheets save.
QList<CsvRecord> ReadCsv(QByteArrayView text, char separator = ',');

// The field as it is written: quoted when it must be.
QByteArray CsvField(QByteArrayView field);

// The fields joined by "," and ended by CR LF.
QByteArray CsvLine(const QList<QByteArray>& fields);

} // namespace claims
