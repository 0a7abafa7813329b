#pragma once
// The outcome of a file operation, with the error code and text that the
// program shows in its error box.

#include <QString>

namespace claims {

enum IoCode {
    FileNotFound = 2,       // "ﾌｧｲﾙが見つかりません"
    PathNotFound = 3,       // "不正なﾌｧｲﾙ名です", e.g. no seikyu folder
    TooManyOpenFiles = 4,   // "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"
    AccessDenied = 5,       // "ﾌｧｲﾙへのｱｸｾｽが拒否されました", e.g. a read-only file
    DiskFull = 101,         // "ﾃﾞｨｽｸがいっぱいです"
};

struct IoResult {
    int code = 0;
    QString message;
    bool ok() const { return code == 0; }
};

// The text shown for a code; any other code gives "I/O ｴﾗｰ (code)".
QString IoErrorText(int code);

// A failure with its code and text.
IoResult IoFailure(int code);

// The failure that an operating-system error (errno) stands for. When path is
// given, a missing file whose folder is missing too counts as PathNotFound.
// Errors without a code of their own keep their number, moved past the codes
// above when it would clash with one (EIO, 5, becomes 1005).
IoResult IoResultFromErrno(int err, const QString& path = QString());

// The number an operating-system error without a code of its own keeps: its
// own, moved past the codes above when it would clash with one.
int KeptErrorNumber(int err);

// IoFailure(code), where a missing file whose folder is missing too counts as
// PathNotFound.
IoResult IoFailureAt(int code, const QString& path);

// The failure with the file's name (as the system writes paths) on a line
// below its text: for a failure that only that file's state explains.
IoResult NamingFile(IoResult failure, const QString& path);

#ifdef Q_OS_WIN
// The same for a Windows system error code (GetLastError, a DWORD): the
// codes above for their counterparts, others keep their number the same way.
// In IoResult_win.cpp, beside the file calls that give these codes.
IoResult IoResultFromSystemError(unsigned long err, const QString& path = QString());
#endif

} // namespace claims
