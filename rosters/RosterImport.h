#pragma once
// A roster made from what a student system exports: comma- or tab-separated
// text in Shift-JIS, UTF-8 (with or without its byte order mark) or UTF-16
// with its mark, a header line first. Its columns are matched to the twelve
// roster fields, its texts normalised as the entry window searches them, and
// every line that cannot be written as it is is named with the reason.

#include "rosters/RosterFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace claims {

enum class ExportEncoding { ShiftJis, Utf8, Utf8WithMark, Utf16LE, Utf16BE };

struct ExportRow {
    int line = 0;          // where it starts in the file, from 1 (the header is line 1)
    QStringList fields;
    bool broken = false;   // a quote left open or followed by other text
};

struct ExportTable {
    ExportEncoding encoding = ExportEncoding::ShiftJis;
    char separator = ',';
    QStringList header;
    QList<ExportRow> rows;   // rows whose fields are all blank are left out
};

// The encoding is told by the bytes: a UTF-16 or UTF-8 byte order mark;
// otherwise UTF-8 when the bytes are UTF-8 and not plain ASCII, else
// Shift-JIS. The separator is a tab when the header line has more tabs than
// commas.
ExportTable ReadExport(QByteArrayView bytes);

// For each roster field (TStudentRecord's order) the export's column, or
// kNoColumn.
inline constexpr int kNoColumn = -1;
using ColumnChoice = std::array<int, TStudentRecord::FieldCount>;

// Columns told by their header names (学籍番号 → ID番号, フリガナ → ふりがな,
// 「3年クラス」 → 3年組 ...). A bare 組, クラス or 学級 is the class of the
// year that the first row's 学年 column, or its own 「3年2組」, names (of
// year 1 when neither does). Each column is given to one field at most;
// where several columns name a field, the best name wins, else the first
// column: the ID is 学籍番号, then 生徒番号, then ID番号 or ID, and 番号 (often
// the number in the class) only when no other column names it.
ColumnChoice GuessColumns(const ExportTable& table);

// The roster fields' names as the import window lists them: ID番号, 3年組,
// 2年組, 1年組, 氏名, ふりがな, 保護者, 出身中学, 性別, 学科, 生年月日, 住所.
QStringList RosterFieldNames();

// The header line of a roster as the program writes it.
QString RosterHeaderLine();

struct ImportProblem {
    int line = 0;   // in the export
    QString why;
};

struct ImportedRoster {
    QStringList lines;              // the student lines that can be written, in order
    QList<ImportProblem> problems;  // in the order of the lines
    int problemLines = 0;           // lines that are left out for their problems
};

// The export's rows as roster lines: every field without its blanks at both
// ends, the reading in hiragana, blanks inside names and readings as one
// full-width space, dates and classes in the rosters' form. A line is a
// problem when a field holds a comma, a line break, a control character
// (a NUL would end the roster when it is read) or a character Shift-JIS
// cannot hold, when its ID is empty, cannot name a claim file or stands on
// another line too, when its reading is empty, and when its quotes are
// broken. An ID from a column named 番号 that stands in several classes is
// said to be the number in the class.
ImportedRoster BuildImportedRoster(const ExportTable& table, const ColumnChoice& columns);

// The roster file: the header line and the lines, Shift-JIS, each ended by
// CR LF.
QByteArray ImportedRosterBytes(const ImportedRoster& roster);

} // namespace claims
