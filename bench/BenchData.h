#pragma once
// The data the benchmarks run on, made once per run in a temporary folder:
// the postal-code list KEN_ALL.CSV (124,825 Shift-JIS lines, unpacked from
// the shared data), a roster of a header and all of those lines, a copy of
// a real-sized demo roster and a seikyu folder of 100,000 claim files.

#include <QByteArray>
#include <QString>

namespace bench {

// Shift-JIS bytes of a text written here in UTF-8.
QByteArray Sjis(const QString& text);

// The temporary folder of this run; removed when the program ends.
QString RunFolder();

// Waits until the folder's seikyu was last changed more than 11 s ago: the
// listing cache reads again every file written in the last 10 s before a
// listing (claims::MayKeep), so a folder made just before a "second
// opening" would be read whole each time.
void WaitUntilSettled(const QString& folder);

// KEN_ALL.CSV unpacked with `unzip -p`; the first line counts as the header.
QString KenAllPath();

// A working folder whose roster H27入学.CSV is a header line followed by all
// 124,825 lines of KEN_ALL.CSV, and whose H20入学.CSV is the demo roster of
// 320 lines. Its seikyu folder holds 100,000 claim files (see below).
QString WorkFolder();
QString BigRosterPath();     // WorkFolder() + "/H27入学.CSV"
QString SmallRosterPath();   // WorkFolder() + "/H20入学.CSV"

// The student whose claim files 1, 2 and 3 lie among the 100,000: real
// claims that read back; the other files are empty.
QByteArray ClaimStudentId();
inline constexpr int kSeikyuFileCount = 100000;

// A working folder of its own for the history window: 10,000 claim files
// (1,250 students, eight claims each) in seikyu, and ten kept versions of
// each in 履歴/seikyu (100,000 version files), each version one month
// fewer marked than the next.
QString HistoryWorkFolder();
inline constexpr int kHistoryClaimCount = 10000;
inline constexpr int kVersionsPerClaim = 10;
// A folder of its own with the export of a large school's year: the demo's
// sample export (名簿サンプル.csv, UTF-8 with its mark, katakana readings)
// made into kImportStudents students with IDs of their own, as
// 書出し.csv. The roster import writes its roster into the same folder.
inline constexpr int kImportStudents = 1200;
QString ImportFolder();
QString ImportExportPath();   // ImportFolder() + "/書出し.csv"

// The lines of a text file as `grep -c` counts them: line ends (LF).
qsizetype CountLines(const QByteArray& bytes);

// The whole file, or an empty text.
QByteArray ReadAll(const QString& path);

} // namespace bench
