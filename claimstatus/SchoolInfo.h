#pragma once
// The school's own details that letters to guardians print: name, address,
// telephone and the person in charge. Kept in the data folder as
// 請求状況/学校.CSV, so that every PC prints the same: Shift-JIS, a line of
// column names (学校名,住所,電話,担当者), then one line of values. Columns
// and lines this program does not know are kept as they stood.

#include "store/GuardedFile.h"
#include "files/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace claims {

struct SchoolInfo {
    QString name, address, phone, person;
    QList<QByteArray> extraColumns;   // names of the columns this program does not know
    QList<QByteArray> extraFields;    // their values, in the same order
    QList<QByteArray> keptLines;      // lines after the values, as they stood
    bool operator==(const SchoolInfo&) const = default;
};

QString SchoolFilePath(const QString& workDir);

SchoolInfo ParseSchoolFile(QByteArrayView bytes);

// The column name (学校名, 住所, 電話, 担当者) of the first text that
// Shift-JIS cannot hold; empty when every text fits.
QString UnencodableSchoolField(const SchoolInfo& info);

// The file's bytes; std::nullopt when a text cannot be held in Shift-JIS.
std::optional<QByteArray> FormatSchoolFile(const SchoolInfo& info);

// The details with the stamp of what was read; a missing file reads as
// empty details.
Result<Stamped<SchoolInfo>> ReadSchoolFile(const QString& workDir);

// The school's name as printed pages head with it; empty when none is
// entered or the file cannot be read.
QString ReadSchoolName(const QString& workDir);

// Writes the file as status files are written: a guarded file, with an
// expected stamp only when it is still as read. Texts Shift-JIS cannot hold
// are refused before anything is written (Refusal::CannotEncode; check
// UnencodableSchoolField first to say which).
Result<FileStamp> WriteSchoolFile(const QString& workDir, const SchoolInfo& info,
                                  const std::optional<FileStamp>& expected = std::nullopt);

} // namespace claims
