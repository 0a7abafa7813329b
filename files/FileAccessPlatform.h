#pragma once
// What FileAccess.cpp asks of each platform: FileAccess_posix.cpp and
// FileAccess_win.cpp give the same calls, and CMake builds one of them.
// Private to files/ (tests may put a failing device in place of the calls).

#include "files/IoResult.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace claims::platform {

// path with its last part spelled as the folder holds it: on a file system
// that ignores case, "a.CSV" may be the file "a.csv". path itself elsewhere.
QString SpellingOnDisk(const QString& path);

// The new file that a save writes beside its target and then moves into
// place: a file descriptor, or a Win32 HANDLE.
struct TempFile {
    QString path;
    qintptr handle = -1;   // -1 once closed
    bool gone = false;     // the move found it removed: another program took it for a stale one
};

// Removes the temporary files that saves cut short (the program killed, the
// power gone) left in folder ("" for the current folder, else ending in "/").
void RemoveStaleTemps(const QString& folder);

// A new, hidden file beside target, open for this save alone; an existing
// target's permission bits go to it. The failure is the target's.
IoResult CreateTempBeside(const QString& target, TempFile& temp);

// All of data into temp.
IoResult WriteAll(const TempFile& temp, QByteArrayView data, const QString& target);

// What was written to temp, flushed to the disk.
IoResult Flush(const TempFile& temp, const QString& target);

// Closes temp, then moves it over target in one step, trying again for a
// moment while the move is refused for a reason that passes (another
// program holds either file open). A failure leaves target as it was,
// unless the file system lost it in the failed move, and names target.
IoResult MoveIntoPlace(TempFile& temp, const QString& target);

// Closes and removes temp after a failure; nothing when it was never made.
void Discard(TempFile& temp);



// The calls of a save that a disk can fail, in one table: making the new
// file, writing it, flushing it, moving it into place, and keeping the
// replaced bytes in the history. Saves call them through Calls(); a test
// may put a failing device in their place with UseCalls.
struct SaveCalls {
    IoResult (*createTemp)(const QString& target, TempFile& temp);
    IoResult (*write)(const TempFile& temp, QByteArrayView data, const QString& target);
    IoResult (*flush)(const TempFile& temp, const QString& target);
    IoResult (*moveIntoPlace)(TempFile& temp, const QString& target);
    IoResult (*keepVersion)(const QString& versionPath, QByteArrayView bytes);
};

// The system's calls.
const SaveCalls& SystemCalls();

// The calls saves make now: the system's, unless UseCalls set others.
const SaveCalls& Calls();

// Saves make these calls from now on; nullptr gives the system's back.
void UseCalls(const SaveCalls* calls);

} // namespace claims::platform
