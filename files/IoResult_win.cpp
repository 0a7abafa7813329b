// The Windows system error codes as the program's I/O codes.

#include "files/IoResult.h"

#include <windows.h>   // after the Qt headers, whose min and max it would spoil
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L   // in the Windows SDK, missing from some other headers
#endif

namespace claims {
namespace {

int CodeOfSystemError(DWORD err)
{
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
        return FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
        return PathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES:
        return TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        return AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_QUOTA_EXCEEDED:
        return DiskFull;
    default:
        return KeptErrorNumber(int(err));
    }
}

} // namespace

Failure IoResultFromSystemError(unsigned long err, const QString& path)
{
    if (err == ERROR_SUCCESS)
        err = ERROR_GEN_FAILURE;   // a failure that left no reason
    return IoFailureAt(CodeOfSystemError(err), path);
}

} // namespace claims
