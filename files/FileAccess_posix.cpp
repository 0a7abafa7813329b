// Linux and other POSIX systems: the file calls of FileAccess on file
// descriptors. Names go to the system in the locale's encoding (UTF-8).

#include "files/FileAccess.h"
#include "files/FileAccessPlatform.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace claims {
namespace {

QByteArray OnDisk(const QString& path) { return QFile::encodeName(path); }

int WriteBytes(int fd, QByteArrayView data)
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

// Removes a temporary file, trying again for a moment while a file server
// refuses because another program holds it open.
void RemoveTemp(const QByteArray& name)
{
    if (name.isEmpty())
        return;
    for (int waited = 0; ::unlink(name.constData()) != 0;) {
        if ((errno != EBUSY && errno != EACCES && errno != EPERM) || !WaitBeforeTryingAgain(waited))
            return;
    }
}

// Removes the stale temporary files in the folder: those that no running
// save holds a lock on. A file server will not remove a file that is open,
// the look at its lock included: then it is removed once closed, tried
// again for a moment while the server still holds it open for the killed
// save whose file it was.
void RemoveUnlockedTemps(const QByteArray& folder)
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
        const bool stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &locked) == 0
                           && ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0
                           && S_ISREG(locked.st_mode) && locked.st_dev == named.st_dev
                           && locked.st_ino == named.st_ino;
        const bool refused = stale && ::unlinkat(dirFd, entry->d_name, 0) != 0 && errno == EBUSY;
        ::close(fd);
        if (refused)
            RemoveTemp(folder.isEmpty() ? QByteArray(entry->d_name) : folder + entry->d_name);
    }
    ::closedir(dir);
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

bool ProcessRunning(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

namespace platform {

QString SpellingOnDisk(const QString& path) { return path; }

// Stale temporary files come only from runs that ended in the middle of a
// save, so one sweep of a folder per run finds them all; a folder of many
// claim files is then not read through on every save.
void RemoveStaleTemps(const QString& folder)
{
    static QSet<QString> swept;
    if (swept.contains(folder))
        return;
    RemoveUnlockedTemps(OnDisk(folder));
    swept.insert(folder);
}

IoResult CreateTempBeside(const QString& target, TempFile& temp)
{
    const QByteArray folder = OnDisk(target.left(target.lastIndexOf(u'/') + 1));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = folder + kTempPrefix
                                + QByteArray::number(QRandomGenerator::global()->generate() | 0x10000000u, 16)
                                + kTempSuffix;
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return IoResultFromErrno(errno, target);
        // Another save may have taken the new file for a stale one before it
        // was locked; then it is gone, and a new one is made. Without locks
        // (some network file systems) the save goes on unguarded.
        struct stat st;
        if (::flock(fd, LOCK_EX) != 0 || (::fstat(fd, &st) == 0 && st.st_nlink > 0)) {
            temp = TempFile{QFile::decodeName(name), fd};
            struct stat old;
            if (::stat(OnDisk(target).constData(), &old) == 0)
                ::fchmod(fd, old.st_mode & 0777);
            return IoResult();
        }
        ::close(fd);
    }
    return IoResultFromErrno(EEXIST, target);
}

IoResult WriteAll(const TempFile& temp, QByteArrayView data, const QString& target)
{
    const int err = WriteBytes(int(temp.handle), data);
    return err == 0 ? IoResult() : IoResultFromErrno(err, target);
}

IoResult Flush(const TempFile& temp, const QString& target)
{
    const int err = Sync(int(temp.handle));
    return err == 0 ? IoResult() : IoResultFromErrno(err, target);
}

// Whether a refused move or removal may pass in a moment: a file server
// refuses to move or remove a file that another program (or another PC)
// holds open, and says "busy" or, as Windows servers do, "access denied".
// Where the folder can be written and the target is not read-only, such a
// refusal is taken to be that.
bool MayPassSoon(int err, const QByteArray& target)
{
    // EEXIST: a client that replaces a file by removing it first (smbnetfs)
    // finds it still there while another PC holds it open.
    if (err == EBUSY || err == ETXTBSY || err == EEXIST)
        return true;
    if (err != EACCES && err != EPERM)
        return false;
    const QByteArray folder = target.left(qMax<qsizetype>(target.lastIndexOf('/'), 1));
    struct stat st;
    const bool writableTarget = ::stat(target.constData(), &st) != 0 || (st.st_mode & 0222) != 0;
    return writableTarget && ::access(target.contains('/') ? folder.constData() : ".", W_OK) == 0;
}

// The file is closed before it is moved, as a file server will not move an
// open file; from then on no lock keeps another program's sweep from
// taking it for a stale one (gone then tells the caller to write it again).
// Once the data are on disk, a failing close no longer endangers them.
IoResult MoveIntoPlace(TempFile& temp, const QString& target)
{
    ::close(int(temp.handle));
    temp.handle = -1;
    const QByteArray from = OnDisk(temp.path);
    const QByteArray to = OnDisk(target);
    for (int waited = 0;;) {
        if (::rename(from.constData(), to.constData()) == 0) {
            SyncFolderOf(to);
            return IoResult();
        }
        const int err = errno;
        if (err == ENOENT && !EntryExists(temp.path)) {
            temp.gone = true;
            return IoResultFromErrno(err, target);
        }
        if (!MayPassSoon(err, to) || !WaitBeforeTryingAgain(waited))
            return NamingFile(IoResultFromErrno(err, target), target);
    }
}

// The file is closed first: a file server will not remove an open file.
void Discard(TempFile& temp)
{
    if (temp.handle >= 0)
        ::close(int(temp.handle));
    temp.handle = -1;
    if (!temp.path.isEmpty() && !temp.gone)
        RemoveTemp(OnDisk(temp.path));
    temp.path.clear();
}

} // namespace platform

QStringList ListFileNames(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(OnDisk(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.' && entry->d_type != DT_DIR)
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    return names;
}

QStringList ListNamesStartingWith(const QString& folder, const QString& prefix)
{
    QStringList names;
    DIR* dir = ::opendir(OnDisk(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u".." && name.startsWith(prefix, Qt::CaseInsensitive))
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

IoResult WriteNewFile(const QString& path, QByteArrayView data)
{
    const int fd = ::open(OnDisk(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return IoResultFromErrno(errno, path);
    int err = WriteBytes(fd, data);
    if (err == 0)
        err = Sync(fd);
    if (::close(fd) != 0 && err == 0)
        err = errno;
    return err == 0 ? IoResult() : IoResultFromErrno(err, path);
}

namespace {

constexpr int kStatThreads = 32;
constexpr qsizetype kNamesPerStatThread = 64;

qint64 Nanoseconds(const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; }

// Size and time of each name, from stats side by side: on a file server
// each is a round trip, and these wait for the network, not a core.
void StatEach(int folderFd, const std::vector<QByteArray>& names, ListedFile* files)
{
    std::atomic<qsizetype> next{0};
    auto run = [&] {
        for (qsizetype i = next++; i < qsizetype(names.size()); i = next++) {
            struct stat st;
            if (::fstatat(folderFd, names[i].constData(), &st, 0) == 0) {
                files[i].size = st.st_size;
                files[i].modified = Nanoseconds(st.st_mtim);
            }
        }
    };
    const qsizetype helpers = std::min<qsizetype>(kStatThreads, qsizetype(names.size()) / kNamesPerStatThread);
    std::vector<std::thread> threads;
    for (qsizetype h = 0; h < helpers; ++h)
        threads.emplace_back(run);
    run();
    for (std::thread& t : threads)
        t.join();
}

} // namespace

QList<ListedFile> ListFiles(const QString& folder)
{
    QList<ListedFile> files;
    std::vector<QByteArray> names;
    DIR* dir = ::opendir(OnDisk(folder).constData());
    if (!dir)
        return files;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' || entry->d_type == DT_DIR)
            continue;
        names.emplace_back(entry->d_name);
        files.append({QFile::decodeName(entry->d_name)});
    }
    StatEach(::dirfd(dir), names, files.data());
    ::closedir(dir);
    return files;
}

bool EntryExists(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(OnDisk(path).constData(), &st) == 0;
}

FileReader::FileReader(const QString& path) : path_(path)
{
    // Without O_NONBLOCK, opening a named pipe would wait for a writer.
    fd_ = ::open(OnDisk(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    int err = fd_ < 0 ? errno : 0;
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0) {
        size_ = st.st_size;
        modified_ = Nanoseconds(st.st_mtim);
        if (S_ISDIR(st.st_mode))
            err = EISDIR;   // a folder in place of the file
        else if (!S_ISREG(st.st_mode))
            err = EACCES;   // a pipe or a device, which may never end
        else
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    }
    if (err != 0)
        outcome_ = IoResultFromErrno(err, path);
}

FileReader::~FileReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

qsizetype FileReader::Read(char* data, qsizetype size)
{
    if (!outcome_.has_value())
        return -1;
    for (;;) {
        const ssize_t n = ::read(fd_, data, size_t(size));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            outcome_ = IoResultFromErrno(errno, path_);
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

} // namespace claims
