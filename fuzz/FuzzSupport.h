#pragma once
// Helpers shared by the fuzz targets: taking an input apart, stopping with a
// message when an expectation fails, and a file in memory for the readers
// that want a path.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

// Stops the run so that libFuzzer keeps the input as a crash.
#define FUZZ_EXPECT(condition)                                                        \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                             \
        }                                                                             \
    } while (false)

namespace fuzz {

// Takes an input apart from the front.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size)
        : rest_(reinterpret_cast<const char*>(data), qsizetype(size)) {}

    unsigned Byte()
    {
        if (rest_.isEmpty())
            return 0;
        const unsigned b = uchar(rest_[0]);
        rest_ = rest_.sliced(1);
        return b;
    }

    // Up to n bytes.
    QByteArrayView Bytes(qsizetype n)
    {
        const QByteArrayView part = rest_.first(qMin(n, rest_.size()));
        rest_ = rest_.sliced(part.size());
        return part;
    }

    // The bytes up to the next byte `separator` (dropped), or all that is left.
    QByteArrayView Until(char separator)
    {
        const qsizetype at = rest_.indexOf(separator);
        return Bytes(at < 0 ? rest_.size() : at + 1).chopped(at < 0 ? 0 : 1);
    }

    bool AtEnd() const { return rest_.isEmpty(); }
    QByteArrayView Rest() const { return rest_; }

private:
    QByteArrayView rest_;
};

// A file that lives in memory only, reached by a path like any other file.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("kiboru-fuzz", 0))
    {
        FUZZ_EXPECT(fd_ >= 0);
        path_ = QStringLiteral("/proc/self/fd/%1").arg(fd_);
    }

    const QString& Path() const { return path_; }

    void Fill(QByteArrayView bytes)
    {
        FUZZ_EXPECT(::ftruncate(fd_, 0) == 0);
        FUZZ_EXPECT(::pwrite(fd_, bytes.data(), size_t(bytes.size()), 0) == ssize_t(bytes.size()));
    }

private:
    int fd_;
    QString path_;
};

} // namespace fuzz
