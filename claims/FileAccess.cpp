#include "claims/FileAccess.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace claims {
namespace {

QByteArray OnDisk(const QString& path) { return QFile::encodeName(path); }

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

int SyncAndClose(int fd)
{
    int err = 0;
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            err = errno;
            break;
        }
    }
    if (::close(fd) != 0 && err == 0 && errno != EINTR)
        err = errno;
    return err;
}

// A new, hidden file beside target; -1 with errno set on failure.
int CreateTempBeside(const QByteArray& target, QByteArray& tempName)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = folder + '.' + name + '.'
                   + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
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

QString FindExistingEntry(const QString& path)
{
    if (EntryExists(path))
        return path;
    const QStringList found = FindExistingEntries(path);
    return found.isEmpty() ? QString() : found.first();
}

QStringList FindExistingEntries(const QString& path)
{
    QStringList candidates{path};
    if (path.endsWith(QLatin1String(".CSV"), Qt::CaseInsensitive)) {
        for (int mask = 0; mask < 8; ++mask)
            candidates.append(path.chopped(3) + CsvSpelling(mask));
    }
    QStringList found;
    QList<QPair<dev_t, ino_t>> seen;
    for (const QString& candidate : std::as_const(candidates)) {
        struct stat st;
        if (::lstat(OnDisk(candidate).constData(), &st) != 0 || seen.contains({st.st_dev, st.st_ino}))
            continue;
        seen.append({st.st_dev, st.st_ino});
        found.append(candidate);
    }
    return found;
}

FileReader::FileReader(const QString& path) : path_(path)
{
    fd_ = ::open(OnDisk(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    int err = fd_ < 0 ? errno : 0;
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0) {
        size_ = st.st_size;
        if (S_ISDIR(st.st_mode))
            err = EISDIR;   // a folder in place of the file
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

IoResult ReplaceFileContents(const QString& path, QByteArrayView data)
{
    const QByteArray target = OnDisk(path);
    struct stat old;
    const bool replacing = ::stat(target.constData(), &old) == 0;
    QByteArray temp;
    const int fd = CreateTempBeside(target, temp);
    if (fd < 0)
        return IoResultFromErrno(errno, path);
    if (replacing)
        ::fchmod(fd, old.st_mode & 0777);
    int err = WriteAll(fd, data);
    const int closeErr = SyncAndClose(fd);
    if (err == 0)
        err = closeErr;
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.constData());
        return IoResultFromErrno(err, path);
    }
    SyncFolderOf(target);
    return IoResult();
}

} // namespace claims
