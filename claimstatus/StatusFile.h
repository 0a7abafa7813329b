#pragma once
// What the office did about each treated month of one claim, kept in the
// folder "請求状況" beside "seikyu": one Shift-JIS file per claim, named like
// the claim file (請<ID>-<n>.CSV). A line of column names comes first, then
// one line per month that has anything recorded:
//   診療年,診療月,状況,請求日,点数,支払日,支払額,メモ,保護者支払日,支払方法,
//   渡した人,確認者,受領書
// Dates read 2022/05/10. 保護者支払日 is the day the payout was handed or
// transferred to the guardian; files written before these two columns
// existed read as months not yet handed over. 渡した人 handed it over,
// 確認者 checked it, and 受領書 is the day the guardian's signed receipt came
// back; files without these columns read them as empty. Columns are found
// by their names, wherever they stand. Columns and lines this program does not know are
// kept as they stood when it writes the file again. No file means that
// every month is still unclaimed. Claim files are never touched here.

#include "claimstatus/Deadline.h"
#include "store/GuardedFile.h"
#include "files/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace claims {

enum class ClaimState { Unclaimed, AwaitingPapers, Claimed, Paid, NotCovered };
inline constexpr int kClaimStateCount = 5;

QString StateText(ClaimState state);   // 未請求, 書類待ち, 請求済, 支払済, 対象外
std::optional<ClaimState> StateFromText(QStringView text);

// 振込, 現金, その他: how a payout reaches the guardian.
QStringList PayMethodTexts();

// Still to be sent to the board: 未請求 and 書類待ち.
bool IsOpen(ClaimState state);

struct MonthStatus {
    YearMonth month;
    ClaimState state = ClaimState::Unclaimed;
    QDate claimDate;
    std::optional<qint64> points;
    QDate paidDate;
    std::optional<qint64> amount;     // yen
    QString note;
    QDate handedDate;                 // handed or transferred to the guardian
    QString payMethod;                // how: one of PayMethodTexts(), or as a spreadsheet left it
    QString handedBy;                 // who handed it over
    QString checkedBy;                // who checked the handover: another person than handedBy
    QDate receiptDate;                // the guardian's signed receipt came back
    QList<QByteArray> extra;          // the unknown columns' fields, in the file's order

    bool HasContent() const;
    // Paid out to the school and not yet handed over to the guardian (未渡し).
    bool AwaitsHandover() const { return state == ClaimState::Paid && !handedDate.isValid(); }
    // Handed over with no check by a second person: nobody, or the one who handed it.
    bool LacksSecondCheck() const
    {
        return handedDate.isValid() && (checkedBy.trimmed().isEmpty() || checkedBy.trimmed() == handedBy.trimmed());
    }
    bool operator==(const MonthStatus&) const = default;
};

struct StatusFile {
    QList<QByteArray> extraColumns;   // names of the columns this program does not know
    QList<MonthStatus> months;        // in calendar order
    QList<QByteArray> keptLines;      // lines not understood, as they stood
    QStringList problems;             // one text per damaged line, with file name and line number

    const MonthStatus* Find(YearMonth month) const;
    MonthStatus& Edit(YearMonth month);   // the month's status, added when missing
};

// A text of digits only (at most 12), as points and amounts are entered.
std::optional<qint64> ReadAmount(QStringView text);

// fileName names the file in the problems reported.
StatusFile ParseStatusFile(QByteArrayView bytes, const QString& fileName);

// True when the text begins with a status file's line of column names.
bool IsStatusFileText(QByteArrayView bytes);

// The file's bytes; std::nullopt when a note cannot be held in Shift-JIS.
std::optional<QByteArray> FormatStatusFile(const StatusFile& file);

QString StatusFolder(const QString& workDir);

// Makes the folder 請求状況 when it is missing, as the first save does.
IoResult MakeStatusFolder(const QString& workDir);
QString StatusFilePath(const QString& workDir, QByteArrayView id, int occurrence);

// The file with the stamp of what was read; a missing file reads as an
// empty one, its stamp not existing.
Result<Stamped<StatusFile>> ReadStatusFile(const QString& path);

// Writes bytes to path in the folder 請求状況 as a guarded file, making the
// folder on the first save; no bytes (a text Shift-JIS cannot hold) or no
// path (an ID that names no file) are refused (Refusal::CannotEncode).
Result<FileStamp> WriteInStatusFolder(const QString& workDir, const QString& path,
                                      const std::optional<QByteArray>& bytes, const std::optional<FileStamp>& expected);

// Writes the file as a guarded file (store/GuardedFile.h): in one piece,
// the old one kept in the history, only while it is still as expected,
// making the folder on the first save. Texts that Shift-JIS cannot hold
// are refused before anything is written (Refusal::CannotEncode).
Result<FileStamp> WriteStatusFile(const QString& workDir, QByteArrayView id, int occurrence, const StatusFile& file,
                                  const std::optional<FileStamp>& expected = std::nullopt);

} // namespace claims
