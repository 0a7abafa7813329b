#include "claims/FileAccess.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>

#include <optional>

// What both platforms share comes first; each platform's file calls follow.
namespace claims {
namespace {

// ".CSV" in all eight spellings, the capitals first.
QString CsvSpelling(int lowerMask)
{
    QString ext = QStringLiteral("CSV");
    for (int i = 0; i < 3; ++i) {
        if (lowerMask & (1 << i))
            ext[i] = ext[i].toLower();
    }
    return ext;
}

// Which entry of the file system a name stands for: device or volume, and
// inode or file index. known is false where the system cannot tell.
struct EntryId {
    quint64 volume = 0;
    quint64 file = 0;
    bool known = false;
    bool operator==(const EntryId&) const = default;
};

// The entry at path, or nothing when there is none (each platform's own).
std::optional<EntryId> IdentifyEntry(const QString& path);

} // namespace

QStringList FindExistingEntries(const QString& path)
{
    QStringList candidates{path};
    if (path.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive)) {
        for (int mask = 0; mask < 8; ++mask)
            candidates.append(path.chopped(3) + CsvSpelling(mask));
    }
    // Names of one entry (a file system may ignore case) count once.
    QStringList found;
    QList<EntryId> seen;
    for (const QString& candidate : std::as_const(candidates)) {
        const std::optional<EntryId> id = IdentifyEntry(candidate);
        if (!id || (id->known && seen.contains(*id)))
            continue;
        seen.append(*id);
        found.append(candidate);
    }
    return found;
}

QString FindExistingEntry(const QString& path)
{
    if (EntryExists(path))
        return path;
    const QStringList found = FindExistingEntries(path);
    return found.isEmpty() ? QString() : found.first();
}

FileBytes ReadWholeFile(const QString& path)
{
    FileBytes file;
    FileReader reader(path);
    QByteArray& bytes = file.bytes;
    bytes.resize(qMax<qsizetype>(reader.Size() + 1, 4096));
    qsizetype size = 0;
    qsizetype n = 0;
    while ((n = reader.Read(bytes.data() + size, bytes.size() - size)) > 0) {
        size += n;
        if (size == bytes.size())
            bytes.resize(bytes.size() * 2);
    }
    bytes.truncate(n < 0 ? 0 : size);
    file.result = reader.Result();
    return file;
}

} // namespace claims

#ifndef Q_OS_WIN   // the Windows branch is at the end of this file

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace claims {
namespace {

QByteArray OnDisk(const QString& path) { return QFile::encodeName(path); }

int WriteAll(int fd, QByteArrayView data)
{
    const char* p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        p += n;
        left -= n;
    }
    return 0;
}

int Sync(int fd)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Temporary files are named ".kiboru-" + eight hex digits + ".tmp", whatever
// file they stand in for: a name of fixed length fits wherever the target's
// name fits. While a save runs, it holds a lock on its temporary file.
const char kTempPrefix[] = ".kiboru-";
const char kTempSuffix[] = ".tmp";

bool IsTempName(const char* name)
{
    const size_t length = std::strlen(name);
    return length == sizeof kTempPrefix - 1 + 8 + sizeof kTempSuffix - 1
           && std::strncmp(name, kTempPrefix, sizeof kTempPrefix - 1) == 0
           && std::strcmp(name + length - (sizeof kTempSuffix - 1), kTempSuffix) == 0;
}

QByteArray FolderOf(const QByteArray& target) { return target.left(target.lastIndexOf('/') + 1); }

// Removes the temporary files that saves cut short (the program killed, the
// power gone) left in the folder: those that no running save holds a lock on.
void RemoveStaleTemps(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTempName(entry->d_name))
            continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat locked, named;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &locked) == 0
            && ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(locked.st_mode) && locked.st_dev == named.st_dev && locked.st_ino == named.st_ino)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Stale temporary files come only from runs that ended in the middle of a
// save, so one sweep of a folder per run finds them all; a folder of many
// claim files is then not read through on every save.
void RemoveStaleTempsOnce(const QByteArray& folder)
{
    static QSet<QByteArray> swept;
    if (swept.contains(folder))
        return;
    RemoveStaleTemps(folder);
    swept.insert(folder);
}

// A new, hidden, locked file beside target; -1 with errno set on failure.
int CreateTempBeside(const QByteArray& target, QByteArray& tempName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = FolderOf(target) + kTempPrefix
                   + QByteArray::number(QRandomGenerator::global()->generate() | 0x10000000u, 16) + kTempSuffix;
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        // Another save may have taken the new file for a stale one before it
        // was locked; then it is gone, and a new one is made. Without locks
        // (some network file systems) the save goes on unguarded.
        struct stat st;
        if (::flock(fd, LOCK_EX) != 0 || (::fstat(fd, &st) == 0 && st.st_nlink > 0))
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Makes the rename itself durable; a failure here no longer endangers data.
void SyncFolderOf(const QByteArray& target)
{
    const QByteArray folder = target.left(qMax<qsizetype>(target.lastIndexOf('/'), 1));
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool EntryExists(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(OnDisk(path).constData(), &st) == 0;
}

namespace {

std::optional<EntryId> IdentifyEntry(const QString& path)
{
    struct stat st;
    if (::lstat(OnDisk(path).constData(), &st) != 0)
        return std::nullopt;
    return EntryId{quint64(st.st_dev), quint64(st.st_ino), true};
}

} // namespace

FileReader::FileReader(const QString& path) : path_(path)
{
    // Without O_NONBLOCK, opening a named pipe would wait for a writer.
    fd_ = ::open(OnDisk(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    int err = fd_ < 0 ? errno : 0;
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0) {
        size_ = st.st_size;
        if (S_ISDIR(st.st_mode))
            err = EISDIR;   // a folder in place of the file
        else if (!S_ISREG(st.st_mode))
            err = EACCES;   // a pipe or a device, which may never end
        else
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    }
    if (err != 0)
        result_ = IoResultFromErrno(err, path);
}

FileReader::~FileReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

qsizetype FileReader::Read(char* data, qsizetype size)
{
    if (!result_.ok())
        return -1;
    for (;;) {
        const ssize_t n = ::read(fd_, data, size_t(size));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            result_ = IoResultFromErrno(errno, path_);
            return -1;
        }
    }
}

IoResult CheckWritable(const QString& path)
{
    const QByteArray name = OnDisk(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0)
        return IoResultFromErrno(errno, path);
    if ((st.st_mode & 0222) == 0)
        return IoFailure(AccessDenied);
    if (::access(name.constData(), W_OK) != 0)
        return IoResultFromErrno(errno, path);
    return IoResult();
}

IoResult ReplaceFileContents(const QString& path, QByteArrayView data,
                             const std::function<IoResult()>& beforeRename)
{
    const QByteArray target = OnDisk(path);
    struct stat old;
    const bool replacing = ::stat(target.constData(), &old) == 0;
    RemoveStaleTempsOnce(FolderOf(target));
    QByteArray temp;
    const int fd = CreateTempBeside(target, temp);
    if (fd < 0)
        return IoResultFromErrno(errno, path);
    if (replacing)
        ::fchmod(fd, old.st_mode & 0777);
    int err = WriteAll(fd, data);
    if (err == 0)
        err = Sync(fd);
    // The lock goes with the close, after the rename: until then no other
    // save takes the file for a stale one. Once the data are on disk, a
    // failing close no longer endangers them.
    const IoResult check = err == 0 && beforeRename ? beforeRename() : IoResult();   // the caller's last look
    if (!check.ok())
        err = -1;
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(temp.constData());
    ::close(fd);
    if (!check.ok())
        return check;
    if (err != 0)
        return IoResultFromErrno(err, path);
    SyncFolderOf(target);
    return IoResult();
}

} // namespace claims

#endif // !Q_OS_WIN

#ifdef Q_OS_WIN
// Windows: the same operations on Win32 handles. Names go to the system as
// UTF-16 with "\" separators; a save writes a new file beside the target,
// flushes it (FlushFileBuffers) and moves it over the target with
// MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). System
// error codes map to the same IoResult codes as errno does on Linux.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L   // in the Windows SDK, missing from some other headers
#endif

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <io.h>

namespace claims {
namespace {

std::wstring Native(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

bool IsOwnCode(int code)
{
    return code == FileNotFound || code == PathNotFound || code == TooManyOpenFiles
           || code == AccessDenied || code == DiskFull;
}

// The failure that a system error code (GetLastError) stands for; like
// IoResultFromErrno, a missing file whose folder is missing too counts as
// PathNotFound, and codes without a meaning of their own keep their number.
IoResult IoResultFromSystemError(DWORD err, const QString& path)
{
    int code = 0;
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
        code = FileNotFound;
        break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
        code = PathNotFound;
        break;
    case ERROR_TOO_MANY_OPEN_FILES:
        code = TooManyOpenFiles;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        code = AccessDenied;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_QUOTA_EXCEEDED:
        code = DiskFull;
        break;
    case ERROR_SUCCESS:
        code = ERROR_GEN_FAILURE;   // a failure that left no reason
        break;
    default:
        code = IsOwnCode(int(err)) ? 1000 + int(err) : int(err);
        break;
    }
    if (code == FileNotFound && !path.isEmpty() && !QFileInfo(QFileInfo(path).absolutePath()).isDir())
        code = PathNotFound;
    return IoFailure(code);
}

IoResult LastError(const QString& path) { return IoResultFromSystemError(::GetLastError(), path); }

// The entry itself, not what a link leads to; for a folder as well.
HANDLE OpenEntry(const QString& path)
{
    return ::CreateFileW(Native(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// Temporary files are named ".kiboru-" + eight hex digits + ".tmp", as on
// Linux. While a save writes one, it holds it open for itself alone.
const wchar_t kTempPrefix[] = L".kiboru-";
const wchar_t kTempSuffix[] = L".tmp";

bool IsTempName(const wchar_t* name)
{
    const size_t length = ::wcslen(name);
    const size_t prefix = sizeof kTempPrefix / sizeof(wchar_t) - 1;
    const size_t suffix = sizeof kTempSuffix / sizeof(wchar_t) - 1;
    return length == prefix + 8 + suffix && ::wcsncmp(name, kTempPrefix, prefix) == 0
           && ::wcscmp(name + length - suffix, kTempSuffix) == 0;
}

QString FolderOf(const QString& target) { return target.left(target.lastIndexOf(u'/') + 1); }

// Removes the temporary files that saves cut short left in the folder: those
// that no save holds open and that were last written a minute ago or more
// (a save closes its file just before it moves it into place).
void RemoveStaleTemps(const QString& folder)
{
    const std::wstring native = Native(folder.isEmpty() ? QStringLiteral("./") : folder);
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((native + L".kiboru-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) { return (quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const quint64 minute = 60ull * 10'000'000ull;   // in 100-ns ticks
    do {
        if (!IsTempName(found.cFileName) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            || ticks(now) - ticks(found.ftLastWriteTime) < minute)
            continue;
        const std::wstring name = native + found.cFileName;
        const HANDLE file = ::CreateFileW(name.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);   // deleted now
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// A new file beside target, open for this save alone; INVALID_HANDLE_VALUE
// with the system error set on failure.
HANDLE CreateTempBeside(const QString& target, std::wstring& tempName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = Native(FolderOf(target)) + kTempPrefix
                   + QString::number(QRandomGenerator::global()->generate() | 0x10000000u, 16).toStdWString()
                   + kTempSuffix;
        const HANDLE file = ::CreateFileW(tempName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        const DWORD err = ::GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS)
            return INVALID_HANDLE_VALUE;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

DWORD WriteAll(HANDLE file, QByteArrayView data)
{
    const char* p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const DWORD chunk = DWORD(qMin<qsizetype>(left, 1 << 30));
        DWORD written = 0;
        if (!::WriteFile(file, p, chunk, &written, nullptr))
            return ::GetLastError();
        if (written == 0)
            return ERROR_DISK_FULL;
        p += written;
        left -= written;
    }
    return ERROR_SUCCESS;
}

} // namespace

bool EntryExists(const QString& path)
{
    return !path.isEmpty() && ::GetFileAttributesW(Native(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// The volume and the file index tell files apart (the file system ignores
// case, so several spellings may name one file).
std::optional<EntryId> IdentifyEntry(const QString& path)
{
    if (!EntryExists(path))
        return std::nullopt;
    EntryId id;
    const HANDLE entry = OpenEntry(path);
    if (entry != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        if (::GetFileInformationByHandle(entry, &info))
            id = {info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow, true};
        ::CloseHandle(entry);
    }
    return id;
}

} // namespace

FileReader::FileReader(const QString& path) : path_(path)
{
    const HANDLE file = ::CreateFileW(Native(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder in place of the file fails here with ERROR_ACCESS_DENIED.
        result_ = LastError(path);
        return;
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);   // a pipe or a device (CON, NUL …), which may never end
        result_ = IoFailure(AccessDenied);
        return;
    }
    LARGE_INTEGER size;
    if (::GetFileSizeEx(file, &size))
        size_ = size.QuadPart;
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd_ < 0) {
        ::CloseHandle(file);
        result_ = IoFailure(TooManyOpenFiles);
    }
}

FileReader::~FileReader()
{
    if (fd_ >= 0)
        ::_close(fd_);   // closes the handle too
}

qsizetype FileReader::Read(char* data, qsizetype size)
{
    if (!result_.ok())
        return -1;
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
    DWORD read = 0;
    if (!::ReadFile(file, data, DWORD(qMin<qsizetype>(size, 1 << 30)), &read, nullptr)) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
            return 0;
        result_ = IoResultFromSystemError(err, path_);
        return -1;
    }
    return qsizetype(read);
}

IoResult CheckWritable(const QString& path)
{
    const std::wstring name = Native(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError(path);
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    // The read-only attribute of a folder does not stop writing in it; that
    // of a file does, also for an administrator.
    if (!folder && (attributes & FILE_ATTRIBUTE_READONLY))
        return IoFailure(AccessDenied);
    // Asks the system for the right to add a file to the folder, or to write
    // the file; a file that another program holds open against writing is
    // refused too. Nothing is changed.
    const HANDLE entry = ::CreateFileW(name.c_str(), folder ? FILE_ADD_FILE : GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, folder ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    if (entry == INVALID_HANDLE_VALUE)
        return LastError(path);
    ::CloseHandle(entry);
    return IoResult();
}

IoResult ReplaceFileContents(const QString& path, QByteArrayView data,
                             const std::function<IoResult()>& beforeRename)
{
    const std::wstring target = Native(path);
    RemoveStaleTemps(FolderOf(path));
    std::wstring temp;
    const HANDLE file = CreateTempBeside(path, temp);
    if (file == INVALID_HANDLE_VALUE)
        return LastError(path);
    DWORD err = WriteAll(file, data);
    if (err == ERROR_SUCCESS && !::FlushFileBuffers(file))
        err = ::GetLastError();
    // The new file takes the folder's permissions. The move needs the file
    // closed. Once the data are on disk, a failing
    // close no longer endangers them.
    ::CloseHandle(file);
    const IoResult check = err == ERROR_SUCCESS && beforeRename ? beforeRename() : IoResult();   // the caller's last look
    if (!check.ok()) {
        ::DeleteFileW(temp.c_str());
        return check;
    }
    if (err == ERROR_SUCCESS
        && !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = ::GetLastError();
    if (err != ERROR_SUCCESS) {
        ::DeleteFileW(temp.c_str());
        return IoResultFromSystemError(err, path);
    }
    return IoResult();
}

} // namespace claims

#endif // Q_OS_WIN
