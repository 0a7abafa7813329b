#pragma once
// What FileAccess.cpp asks of each platform: FileAccess_posix.cpp and
// FileAccess_win.cpp give the same calls, and CMake builds one of them.
// Inside the claims library only.

#include "files/IoResult.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace claims::platform {

// Which entry of the file system a name stands for: device or volume, and
// inode or file index. known is false where the system cannot tell.
struct EntryId {
    quint64 volume = 0;
    quint64 file = 0;
    bool known = false;
    bool operator==(const EntryId&) const = default;
};

// The entry at path (not what a link leads to), or nothing when there is none.
std::optional<EntryId> IdentifyEntry(const QString& path);

// path with its last part spelled as the folder holds it: on a file system
// that ignores case, "a.CSV" may be the file "a.csv". path itself elsewhere.
QString SpellingOnDisk(const QString& path);

// The new file that a save writes beside its target and then moves into
// place: a file descriptor, or a Win32 HANDLE.
struct TempFile {
    QString path;
    qintptr handle = -1;
};

// Removes the temporary files that saves cut short (the program killed, the
// power gone) left in folder ("" for the current folder, else ending in "/").
void RemoveStaleTemps(const QString& folder);

// A new, hidden file beside target, open for this save alone; an existing
// target's permission bits go to it. The failure is the target's.
IoResult CreateTempBeside(const QString& target, TempFile& temp);

// All of data into temp, flushed to the disk.
IoResult WriteAndFlush(const TempFile& temp, QByteArrayView data, const QString& target);

// Moves temp over target in one step and closes it; a failure leaves both.
IoResult MoveIntoPlace(TempFile& temp, const QString& target);

// Closes and removes temp after a failure; nothing when it was never made.
void Discard(TempFile& temp);

} // namespace claims::platform
