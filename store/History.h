#pragma once
// The history of saves. Before a save replaces a claim file, a status file
// or a roster, the bytes it replaces are kept as a version of their own in
// the folder "履歴" of the data folder, beside "seikyu":
//   履歴/seikyu/請<ID>-<n>/<time>-<PC名>.CSV     for seikyu/請<ID>-<n>.CSV
//   履歴/請求状況/請<ID>-<n>/<time>-<PC名>.CSV   for 請求状況/請<ID>-<n>.CSV
//   履歴/名簿/H21入学.CSV/<time>-<PC名>.CSV      for the roster H21入学.CSV
// <time> is the local time as yyyyMMdd-hhmmss-zzz; PC名 is the host name,
// with "_" for each character a file name cannot hold. Each file keeps its
// kVersionsKept newest versions. A guarded file's save (GuardedFile.h)
// keeps them; reading them back is HistoryList's.

#include "files/IoResult.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace claims {

inline constexpr int kVersionsKept = 30;

// The history folder of the file at path: for a claim file in a folder
// "seikyu", a status file, the school's file 学校.CSV or the payment
// notices' 支払通知.CSV in a folder "請求状況", or a roster ("H" or "R", at most two characters, "入学.CSV")
// in any folder; empty for any other.
QString HistoryFolderFor(const QString& path);

// The host name as part of a file name: "_" for / \ : * ? " < > | and
// control characters, "_" for an empty name.
QString PcNameForFiles(const QString& hostName);

// The name of a version kept at that time on this PC.
QString VersionFileName(const QDateTime& time);

// Whether a name in a history folder is that of a version.
bool IsVersionFileName(const QString& name);

struct KeptVersion {
    QString path;            // the version written
    QStringList madeFolders; // the folders made for it, outermost first
};

// Writes bytes as a new version into folder, made with its parents, under
// a name that no version there has yet. After a failure nothing is left:
// Refusal::HistoryNotKept, the message naming the folder.
Result<KeptVersion> KeepVersion(const QString& folder, QByteArrayView bytes);

// Takes back a version whose save did not go through, and the folders made
// for it.
void DropVersion(const KeptVersion& version);

// Removes the oldest versions in folder beyond kVersionsKept. A version
// that cannot be removed stays; the save goes on.
void PruneVersions(const QString& folder);

} // namespace claims
