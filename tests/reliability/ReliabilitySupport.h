#pragma once
// Helpers of the reliability tests: numbered claims that tell apart every
// save, a child process with a pipe, a look at a whole folder tree, the
// superuser made subject to permission bits, and a small file system.

#include "NumberedClaim.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace rtest {

// A process started with its standard output on a pipe to us.
class ChildProcess {
public:
    explicit ChildProcess(const QList<QByteArray>& args)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        QList<char*> argv;
        for (const QByteArray& arg : args)
            argv.append(const_cast<char*>(arg.constData()));
        argv.append(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = fds[0];
    }
    ~ChildProcess()
    {
        Kill();
        if (out_ >= 0)
            ::close(out_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }

    // Whether output arrives within the time.
    bool WaitForOutput(int milliseconds)
    {
        pollfd p{out_, POLLIN, 0};
        return ::poll(&p, 1, milliseconds) > 0;
    }

    // Ends the process at once (if it still runs) and waits for it; the
    // wait status.
    int Kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
        return status_;
    }

    // Waits for the end; the wait status. usage receives what it used.
    int Wait(rusage* usage = nullptr)
    {
        rusage ignored;
        while (pid_ > 0 && ::wait4(pid_, &status_, 0, usage ? usage : &ignored) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return status_;
    }

    // All the output up to the end of the process.
    QByteArray ReadAll()
    {
        QByteArray all;
        char buffer[4096];
        for (ssize_t n; (n = ::read(out_, buffer, sizeof buffer)) != 0;) {
            if (n > 0)
                all.append(buffer, n);
            else if (errno != EINTR)
                break;
        }
        return all;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int status_ = -1;
};

// Every entry below folder with its size, the folder itself left out.
inline QStringList Tree(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.append(path.mid(folder.size()) + u' ' + QString::number(QFileInfo(path).size()));
    }
    entries.sort();
    return entries;
}

// While it lives, permission bits hold for the superuser too: the rights to
// pass them by are taken out of the effective set (they stay permitted and
// come back at the end). Does nothing for anyone else.
class PermissionBitsHold {
public:
    PermissionBitsHold()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~PermissionBitsHold()
    {
        if (active_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    PermissionBitsHold(const PermissionBitsHold&) = delete;
    PermissionBitsHold& operator=(const PermissionBitsHold&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
    bool active_ = false;
};

// A tmpfs file system of its own mounted on a folder, for a disk that fills
// up or turns read-only. Needs the right to mount (the superuser).
class SmallFileSystem {
public:
    SmallFileSystem(const QString& folder, const QByteArray& options)
        : folder_(QFile::encodeName(folder)), options_(options)
    {
        mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options_.constData()) == 0;
        error_ = mounted_ ? 0 : errno;
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            ::umount2(folder_.constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    int Error() const { return error_; }

    bool SetReadOnly(bool readOnly)
    {
        const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", folder_.constData(), "tmpfs", flags, options_.constData()) == 0;
    }

private:
    QByteArray folder_;
    QByteArray options_;
    bool mounted_ = false;
    int error_ = 0;
};

// The largest resident size the process has had so far, in KiB: VmHWM of
// this program image. (getrusage's ru_maxrss would do, but on Linux it
// carries over the peak of the process that started this one, since a
// process is started as a copy of its parent.)
inline long PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Whether this build runs under AddressSanitizer, whose shadow memory and
// quarantine of freed blocks make resident sizes meaningless.
constexpr bool UnderAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

} // namespace rtest
