// Windows: the file calls of FileAccess on Win32 handles. Names go to the
// system as UTF-16 with "\" separators; a save writes a new file beside the
// target, flushes it (FlushFileBuffers) and moves it over the target with
// MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), tried
// again for a moment while another process holds the target open.

#include "files/FileAccess.h"
#include "files/FileAccessPlatform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <QDir>
#include <QRandomGenerator>

#include <fcntl.h>
#include <io.h>

namespace claims {
namespace {

std::wstring Native(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

IoResult LastError(const QString& path) { return IoResultFromSystemError(::GetLastError(), path); }

HANDLE HandleOf(const platform::TempFile& temp) { return reinterpret_cast<HANDLE>(temp.handle); }

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

DWORD WriteBytes(HANDLE file, QByteArrayView data)
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

bool ProcessRunning(qint64 pid)
{
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED;   // there, but not ours to look at
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

namespace platform {

QString SpellingOnDisk(const QString& path)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(Native(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return path;
    ::FindClose(search);
    return path.left(path.lastIndexOf(u'/') + 1) + QString::fromWCharArray(found.cFileName);
}

// Removes the stale temporary files in the folder: those that no save holds
// open and that were last written a minute ago or more (a save closes its
// file just before it moves it into place).
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

// The new file takes the folder's permissions.
IoResult CreateTempBeside(const QString& target, TempFile& temp)
{
    const QString folder = target.left(target.lastIndexOf(u'/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = folder + QString::fromWCharArray(kTempPrefix)
                             + QString::number(QRandomGenerator::global()->generate() | 0x10000000u, 16)
                             + QString::fromWCharArray(kTempSuffix);
        const HANDLE file = ::CreateFileW(Native(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            temp = TempFile{name, reinterpret_cast<qintptr>(file)};
            return IoResult();
        }
        const DWORD err = ::GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS)
            return IoResultFromSystemError(err, target);
    }
    return IoResultFromSystemError(ERROR_FILE_EXISTS, target);
}

IoResult WriteAll(const TempFile& temp, QByteArrayView data, const QString& target)
{
    const DWORD err = WriteBytes(HandleOf(temp), data);
    return err == ERROR_SUCCESS ? IoResult() : IoResultFromSystemError(err, target);
}

IoResult Flush(const TempFile& temp, const QString& target)
{
    return ::FlushFileBuffers(HandleOf(temp)) ? IoResult() : LastError(target);
}

// Windows refuses to move a file over one that another process holds open,
// even for reading with delete sharing: another PC loading the claim or
// listing every claim, a virus scanner looking at the file. Such a refusal
// passes within moments; a read-only target's does not.
bool MayPassSoon(DWORD error, const std::wstring& target)
{
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
        return false;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
}

// Removes a temporary file, trying again for a moment while another
// program holds it open.
void RemoveTemp(const std::wstring& name)
{
    for (int waited = 0; !::DeleteFileW(name.c_str());) {
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || !WaitBeforeTryingAgain(waited))
            return;
    }
}

// The move needs the file closed. Once the data are on disk, a failing close
// no longer endangers them. A file server may lose the target in a move
// that fails (the move through a FUSE mount under Wine does): the caller,
// which read the old bytes, puts them back.
IoResult MoveIntoPlace(TempFile& temp, const QString& target)
{
    ::CloseHandle(HandleOf(temp));
    temp.handle = -1;
    const std::wstring from = Native(temp.path);
    const std::wstring to = Native(target);
    for (int waited = 0;;) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return IoResult();
        const DWORD error = ::GetLastError();
        if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && !EntryExists(temp.path)) {
            temp.gone = true;
            return IoResultFromSystemError(error, target);
        }
        if (!MayPassSoon(error, to) || !WaitBeforeTryingAgain(waited))
            return NamingFile(IoResultFromSystemError(error, target), target);
    }
}

void Discard(TempFile& temp)
{
    if (temp.handle != -1)
        ::CloseHandle(HandleOf(temp));
    temp.handle = -1;
    if (!temp.path.isEmpty() && !temp.gone)
        RemoveTemp(Native(temp.path));
    temp.path.clear();
}

} // namespace platform

namespace {

// 100-nanosecond steps since 1601 to nanoseconds since 1970.
qint64 Nanoseconds(const FILETIME& t)
{
    constexpr qint64 k1601To1970 = 116444736000000000;
    return ((qint64(t.dwHighDateTime) << 32 | t.dwLowDateTime) - k1601To1970) * 100;
}

// Calls take(found) for every entry of folder that is not a folder nor
// hidden by its name, from one directory query (FindExInfoBasic, the large
// fetch): name, size and times come with each entry, no look at each file.
template <class Take>
void ForEachFileEntry(const QString& folder, Take take)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileExW((Native(folder) + L"\\*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.cFileName[0] != L'.' && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            take(found);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

} // namespace

QStringList ListFileNames(const QString& folder)
{
    QStringList names;
    ForEachFileEntry(folder, [&names](const WIN32_FIND_DATAW& found) {
        names.append(QString::fromWCharArray(found.cFileName));
    });
    return names;
}

QStringList ListNamesStartingWith(const QString& folder, const QString& prefix)
{
    QStringList names;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileExW((Native(folder) + L'\\' + prefix.toStdWString() + L'*').c_str(),
                                             FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name != u"." && name != u".." && name.startsWith(prefix, Qt::CaseInsensitive))
            names.append(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

IoResult WriteNewFile(const QString& path, QByteArrayView data)
{
    const HANDLE file = ::CreateFileW(Native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastError(path);
    DWORD err = WriteBytes(file, data);
    if (err == ERROR_SUCCESS && !::FlushFileBuffers(file))
        err = ::GetLastError();
    ::CloseHandle(file);
    return err == ERROR_SUCCESS ? IoResult() : IoResultFromSystemError(err, path);
}

QList<ListedFile> ListFiles(const QString& folder)
{
    QList<ListedFile> files;
    ForEachFileEntry(folder, [&files](const WIN32_FIND_DATAW& found) {
        files.append({QString::fromWCharArray(found.cFileName),
                      qint64(found.nFileSizeHigh) << 32 | found.nFileSizeLow,
                      Nanoseconds(found.ftLastWriteTime)});
    });
    return files;
}

bool EntryExists(const QString& path)
{
    return !path.isEmpty() && ::GetFileAttributesW(Native(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileReader::FileReader(const QString& path) : path_(path)
{
    const HANDLE file = ::CreateFileW(Native(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder in place of the file fails here with ERROR_ACCESS_DENIED.
        outcome_ = LastError(path);
        return;
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);   // a pipe or a device (CON, NUL …), which may never end
        outcome_ = IoFailure(AccessDenied);
        return;
    }
    LARGE_INTEGER size;
    if (::GetFileSizeEx(file, &size))
        size_ = size.QuadPart;
    FILETIME written;
    if (::GetFileTime(file, nullptr, nullptr, &written))
        modified_ = Nanoseconds(written);
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd_ < 0) {
        ::CloseHandle(file);
        outcome_ = IoFailure(TooManyOpenFiles);
    }
}

FileReader::~FileReader()
{
    if (fd_ >= 0)
        ::_close(fd_);   // closes the handle too
}

qsizetype FileReader::Read(char* data, qsizetype size)
{
    if (!outcome_.has_value())
        return -1;
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
    DWORD read = 0;
    if (!::ReadFile(file, data, DWORD(qMin<qsizetype>(size, 1 << 30)), &read, nullptr)) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
            return 0;
        outcome_ = IoResultFromSystemError(err, path_);
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

} // namespace claims
