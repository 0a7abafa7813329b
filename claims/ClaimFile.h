#pragma once
// The claim file of one student and injury occurrence: "請" + ID + "-" + n +
// ".CSV" in the folder "seikyu" of the working folder. Fifteen lines ended by
// CR LF: the claim's name with the student's name and sex, the ten header
// fields, and the thirteen treatment rows of 25 fields each.

#include "store/FileNames.h"
#include "claims/ClaimRecord.h"
#include "store/GuardedFile.h"
#include "files/IoResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace claims {

// ClaimName{id, occurrence}.Stem(): "請" + id + "-" + occurrence.
QByteArray ClaimFileName(QByteArrayView id, int occurrence);

// The folder of the claim files in a working folder.
QString SeikyuFolder(const QString& workDir);

// The existing claim file, whatever the case of its ".CSV"; otherwise the
// path with ".CSV"; empty when the ID is unusable.
QString ClaimFilePath(const QString& workDir, QByteArrayView id, int occurrence);

// True when path names a plain file (not a folder, pipe or device) that can
// be opened for reading.
bool FileCanBeRead(const QString& path);

// The names of the student's claim files in the seikyu folder, only those of
// the form "請" + ID + "-" + one digit 1 to 8 + ".CSV" (any case of ".CSV"),
// sorted by name.
QStringList ListClaimFiles(const QString& workDir, QByteArrayView id);

// The occurrence number of such a name, 0 for any other name.
int OccurrenceOfClaimFile(const QString& name, QByteArrayView id);

// Reads a claim file's text onto a reset claim: line 2 into the header and
// lines 3 to 15 into rows 1 to 13. A byte 1A ends the text; missing lines
// read as empty ones.
void ParseClaim(QByteArrayView bytes, t_sick& header, TTreatmentTable& table);

// Reads the whole file, then parses it onto header and table; the stamp of
// what was read. Nothing is changed when it cannot be read.
Result<FileStamp> ReadClaimFile(const QString& path, t_sick& header, TTreatmentTable& table);

// The fifteen lines of a claim file, each ended by CR LF.
QByteArray FormatClaim(QByteArrayView fileName, QByteArrayView name, QByteArrayView sex,
                       const t_sick& header, const TTreatmentTable& table);

// The field of a refused save whose text cannot be held: the ID (kIdField,
// unusable in a file name), or 0 name, 1 sex, 2 .. 11 header fields 0 .. 9.
inline constexpr int kIdField = -2;

// The field (numbered as above) whose text holds a ",", CR, LF or byte 1A,
// which would shift or cut fields when read back; -1 when none does.
int FieldThatCorrupts(QByteArrayView name, QByteArrayView sex, const t_sick& header);

// The same test on a text before it is made into Shift-JIS bytes (none of
// these bytes stands inside a double-byte character).
bool CorruptsClaimFile(QStringView text);

// Writes the claim file of the student and occurrence (ClaimFilePath),
// replacing an existing one whatever the case of its ".CSV", as a guarded
// file (store/GuardedFile.h). Refuses an unusable ID and texts that would
// corrupt the file (Refusal::CannotEncode with the field); fails with
// PathNotFound when there is no seikyu folder and with AccessDenied for a
// read-only claim file or seikyu folder, all before anything is written.
// After any failure the previous file is as it was. With an expected stamp
// (what was read, or not existing), a file that is no longer so is left as
// it is (Refusal::ChangedElsewhere). The stamp of the file as written.
Result<FileStamp> WriteClaimFile(const QString& workDir, QByteArrayView id, int occurrence,
                                 QByteArrayView name, QByteArrayView sex, const t_sick& header,
                                 const TTreatmentTable& table,
                                 const std::optional<FileStamp>& expected = std::nullopt);

// The same for the claim file's path as ClaimFilePath gave it, which a
// window that shows the path has already looked up.
Result<FileStamp> WriteClaimFileAt(const QString& workDir, const QString& path, QByteArrayView id, int occurrence,
                                   QByteArrayView name, QByteArrayView sex, const t_sick& header,
                                   const TTreatmentTable& table, const std::optional<FileStamp>& expected);

} // namespace claims
