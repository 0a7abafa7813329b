#pragma once
// Reading the history that saves keep in the folder 履歴 beside seikyu:
//   履歴/seikyu/請<ID>-<n>/<yyyyMMdd-hhmmss-zzz>-<PC名>.CSV   claim files
//   履歴/請求状況/請<ID>-<n>/<same>.CSV                      status files
// Each version holds the bytes that one save replaced. Listing the history
// reads folders only, and one small piece of one file per claim for the
// student's name; what a version changed is worked out when it is shown.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace claims {

enum class HistoryKind { Claim, Status };

QString HistoryKindText(HistoryKind kind);   // 請求, 請求状況

// One claim or status file that has kept versions.
struct HistoryFile {
    HistoryKind kind = HistoryKind::Claim;
    QByteArray id;          // Shift-JIS bytes, as in the file names
    int occurrence = 0;
    QString folder;         // its folder in 履歴
    QString currentPath;    // the file itself, where it is or where it belongs
    bool currentExists = false;
    QString name;           // the student's name
};

struct HistoryVersion {
    int file = 0;           // index into the listing's files
    QString fileName;       // the version file's name in the file's folder
    qint64 time = 0;        // its time as the number yyyyMMddhhmmsszzz, for ordering
    int newer = -1;         // the next version of the same file; -1: the current file follows
};

struct HistoryListing {
    QList<HistoryFile> files;
    QList<HistoryVersion> versions;   // newest first
    QString Path(int version) const;  // the version file
};

// Every version of every claim and status file of the working folder, also
// of files that are gone. progress(done, total) is called now and then;
// when it answers false, reading stops and what was read so far is returned.
// With a cache folder, a claim whose file the deadline list's cache there
// (ListingCache.h) holds unchanged takes its student's name from it
// instead of reading it; the cache is not written.
HistoryListing ReadHistory(const QString& workDir, const std::function<bool(int, int)>& progress = {},
                           const QString& cacheFolder = {});

// Of a version file's name (IsVersionFileName in History.h):
QString VersionTimeText(QStringView fileName);   // "2026/12/09 14:03:27"
QString VersionPc(QStringView fileName);

// A field of a claim or of a month's status, as the windows name it.
struct ShownField {
    QString caption;
    QString text;
};

// A claim file's header as the entry window shows it: 氏名, 性別, 受傷日,
// 債権者登録, 傷病名, 部位, 場合別, 部名, 場所別.
QList<ShownField> ClaimFieldsShown(QByteArrayView bytes);
// Its treatment rows in the treatment list's form.
QStringList TreatmentLinesShown(QByteArrayView bytes);
// A status file's months: the month ("2024年6月"), then what is recorded.
QList<ShownField> StatusMonthsShown(QByteArrayView bytes);

// What the change from before to after did, short, as the office reads it:
// 「2011年10月 ◎→－」, 「傷病名 捻挫→骨折」, 「新規」 where before held
// nothing, 「削除」 where there is no after; a few changes joined by 「、」.
QString ChangeSummary(HistoryKind kind, QByteArrayView before, const std::optional<QByteArray>& after);

// The bytes of the version's next version, or of the current file for the
// newest; std::nullopt when that file is gone or cannot be read.
std::optional<QByteArray> BytesAfter(const HistoryListing& listing, int version);

// ChangeSummary of the version against what followed it.
QString SummaryOf(const HistoryListing& listing, int version);

} // namespace claims
