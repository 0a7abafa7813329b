#pragma once
// Letters to guardians, one A4 letter a student and kind: 「災害共済給付金の
// お知らせ」 for months paid to the school and not yet handed over, and
// 「医療等の状況のご提出のお願い」 for months still waiting for their
// forms, each with its deadline.

#include "claimstatus/ClaimList.h"
#include "claimstatus/SchoolInfo.h"
#include "rosters/RosterLookup.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

class QPrinter;

namespace status {

enum class LetterKind { Payout, Papers };

struct LetterMonth {
    claims::YearMonth month;
    QString injury;        // "2026年5月14日　捻挫"
    std::optional<qint64> amount;   // Payout: yen, when recorded
    QDate deadline;        // Papers: the month's last day to claim
};

struct Letter {
    LetterKind kind = LetterKind::Payout;
    QByteArray id;
    QString student, className, guardian, address;
    bool inRoster = false;
    QList<LetterMonth> months;
    QString payWay;        // Payout: how the money reaches the guardian

    qint64 Total() const;   // of the amounts recorded
};

// The letters for the students of ids, over all their claims, on the date:
// students in ID order, a payout letter before a request. Months whose
// deadline has passed by the date are not asked for.
QList<Letter> BuildLetters(const QList<claims::ClaimOverview>& claims, const QSet<QByteArray>& ids,
                           const QHash<QByteArray, claims::RosterEntry>& roster, QDate date);

// The sentence that says how the payout reaches the guardian, from the
// months' 支払方法: one method for every month names it, otherwise a
// neutral sentence.
QString PayWaySentence(const QStringList& methods);

// What the office should know before printing: students found in no roster
// (their letters carry no address), and students found in several rosters
// (the newest entry year is used). Empty when there is nothing to say.
QString RosterNotice(const QList<Letter>& letters, const QHash<QByteArray, claims::RosterEntry>& roster);

struct LetterBatch {
    QList<Letter> letters;
    claims::SchoolInfo school;
    QString notice;        // RosterNotice, and a school file missing or unreadable
};

// The letters for the students of ids, with the rosters and the school's
// file of the working folder read once.
LetterBatch PrepareLetters(const QString& workDir, const QList<claims::ClaimOverview>& claims,
                           const QSet<QByteArray>& ids, QDate date);

// Each letter on a page of its own (a table of many months goes on over a
// second page); with receipts, each payout letter followed by its receipt.
void PrintLetters(QPrinter& printer, const QList<Letter>& letters, const claims::SchoolInfo& school, QDate date,
                  bool withReceipts = false);

// The guardian's receipt 「災害共済給付金受領書」 of each payout letter's
// months on a page of its own, to be signed and sealed and brought back:
// the school, the student, the months with their amounts and the total,
// and lines for 受領日, 保護者氏名 and 印. Letters of other kinds are passed by.
void PrintReceipts(QPrinter& printer, const QList<Letter>& letters, const claims::SchoolInfo& school, QDate date);

QString LetterDate(QDate date);      // 2026年12月9日
QString YenText(qint64 yen);         // 12,345円

} // namespace status
