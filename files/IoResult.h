#pragma once
// The outcome of a file operation: its value, or why it failed, with the
// error code and text that the program shows in its error box. Every
// operation that can fail returns a Result; callers read .value() or
// .error(). What cannot happen is asserted, not returned.

#include <QByteArray>
#include <QString>

#include <expected>

namespace claims {

enum IoCode {
    FileNotFound = 2,       // "ﾌｧｲﾙが見つかりません"
    PathNotFound = 3,       // "不正なﾌｧｲﾙ名です", e.g. no seikyu folder
    TooManyOpenFiles = 4,   // "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"
    AccessDenied = 5,       // "ﾌｧｲﾙへのｱｸｾｽが拒否されました", e.g. a read-only file
    DiskFull = 101,         // "ﾃﾞｨｽｸがいっぱいです"
};

// What was read of a file: whether it existed, its size, its time of last
// change and a hash of its bytes. A save compares the file on disk with it,
// so that a file that another PC changed after it was read is never
// overwritten unseen.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;   // milliseconds since 1970 (UTC)
    QByteArray hash;       // SHA-256 of the bytes
    bool operator==(const FileStamp&) const = default;
};

// A save refused although nothing failed on the disk.
enum class Refusal {
    None,               // a failure of the system: see code
    ChangedElsewhere,   // the file is no longer as it was read: see found
    HistoryNotKept,     // the bytes it would replace could not be kept in the history
    CannotEncode,       // a text the file cannot hold (Shift-JIS, a comma in a field): see field
    Locked,             // another save kept the file's lock too long
};

struct IoError {
    int code = 0;       // an IoCode or the system's own number; 0 for most refusals
    QString message;    // the text the error box shows
    Refusal refusal = Refusal::None;
    FileStamp found;    // with ChangedElsewhere: the file as the save found it
    int field = -1;     // with CannotEncode: the field that cannot be held, numbered by the caller
};

template <class T = void>
using Result = std::expected<T, IoError>;

// The outcome of an operation that gives no value.
using IoResult = Result<void>;

// A failure, which converts to a Result of any kind.
using Failure = std::unexpected<IoError>;

// The text shown for a code; any other code gives "I/O ｴﾗｰ (code)".
QString IoErrorText(int code);

// A failure with its code and text.
Failure IoFailure(int code);

// A failure with its code (0 for none) and a text of its own.
Failure Failed(int code, const QString& message);

// A refusal with its text.
Failure Refused(Refusal refusal, const QString& message);

// The failure that an operating-system error (errno) stands for. When path is
// given, a missing file whose folder is missing too counts as PathNotFound.
// Errors without a code of their own keep their number, moved past the codes
// above when it would clash with one (EIO, 5, becomes 1005).
Failure IoResultFromErrno(int err, const QString& path = QString());

// The number an operating-system error without a code of its own keeps: its
// own, moved past the codes above when it would clash with one.
int KeptErrorNumber(int err);

// IoFailure(code), where a missing file whose folder is missing too counts as
// PathNotFound.
Failure IoFailureAt(int code, const QString& path);

// The failure with the file's name (as the system writes paths) on a line
// below its text: for a failure that only that file's state explains.
Failure NamingFile(Failure failure, const QString& path);

#ifdef Q_OS_WIN
// The same for a Windows system error code (GetLastError, a DWORD): the
// codes above for their counterparts, others keep their number the same way.
// In IoResult_win.cpp, beside the file calls that give these codes.
Failure IoResultFromSystemError(unsigned long err, const QString& path = QString());
#endif

} // namespace claims
