// slowfs: a read-only pass-through file system that stands in for a file
// server in tests and benchmarks. Every lookup (getattr), readdir, open and
// read waits a fixed delay first, as a network round trip would, and is
// counted. As a client of a file server does (Linux's SMB client by
// default), the kernel keeps what a lookup told of a file for one second;
// the bytes are read again at every open. A listing on POSIX needs a
// lookup per name for sizes and times; Windows gets them with the names,
// which STAT_DELAY_MS 0 stands for.
//
//   slowfs SOURCE MOUNTPOINT DELAY_MS [STAT_DELAY_MS] [writable]
//
// With "writable" it also passes on every change (make, write, flush to
// disk, move, remove, folders, times and modes), each waiting the delay and
// counted as "change", and keeps a file server's rule that a file open
// through the mount can be neither moved nor replaced nor removed (EBUSY).
//
// runs in the foreground until unmounted (fusermount3 -u MOUNTPOINT), and
// unmounts by itself when it is killed (auto_unmount) or its parent ends. Reading the file
// ".slowfs-counts" at the root of the mount (it is in no listing, costs no
// delay and is not counted) gives one line per operation, "<op> <count>",
// then "opened <path>" for every file opened so far, in order.

#define FUSE_USE_VERSION 31

#include <fuse.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/prctl.h>
#include <csignal>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kCountsName = "/.slowfs-counts";

int sourceFd = -1;
std::chrono::microseconds delay{0}, statDelay{0};
std::atomic<long> getattrs{0}, readdirs{0}, opens{0}, reads{0}, releases{0}, changes{0};
bool writable = false;
std::mutex openMutex;
std::map<std::string, int> openCount;   // files open through the mount, by path
std::mutex openedMutex;
std::string opened;   // "opened <path>\n" lines

// A path of the mount as a path relative to the source folder.
std::string Relative(const char* path)
{
    return path[1] == '\0' ? std::string(".") : std::string(path + 1);
}

void Wait(std::atomic<long>& counter, std::chrono::microseconds wait = delay)
{
    ++counter;
    if (wait.count() > 0)
        std::this_thread::sleep_for(wait);
}

std::string CountsText()
{
    std::string text = "getattr " + std::to_string(getattrs) + "\nreaddir " + std::to_string(readdirs)
                       + "\nopen " + std::to_string(opens) + "\nread " + std::to_string(reads) + "\nrelease "
                       + std::to_string(releases) + "\nchange " + std::to_string(changes) + "\n";
    std::lock_guard<std::mutex> lock(openedMutex);
    return text + opened;
}

void* Init(fuse_conn_info* conn, fuse_config* cfg)
{
    cfg->entry_timeout = 1.0;
    cfg->attr_timeout = 1.0;
    cfg->negative_timeout = 0;
    cfg->use_ino = 1;
    cfg->kernel_cache = 0;   // a file's bytes are read again at each open
    conn->want &= ~(FUSE_CAP_READDIRPLUS | FUSE_CAP_READDIRPLUS_AUTO);
    return nullptr;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info*)
{
    if (std::strcmp(path, kCountsName) == 0) {
        *st = {};
        st->st_mode = S_IFREG | 0444;
        st->st_nlink = 1;
        return 0;
    }
    Wait(getattrs, statDelay);
    return ::fstatat(sourceFd, Relative(path).c_str(), st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : -errno;
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    Wait(readdirs);
    const int fd = ::openat(sourceFd, Relative(path).c_str(), O_RDONLY | O_DIRECTORY);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir)
        return -errno;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        fill(buffer, entry->d_name, &st, 0, fuse_fill_dir_flags(0));
    }
    ::closedir(dir);
    return 0;
}

void Opened(const char* path, int fd, fuse_file_info* fi)
{
    fi->fh = uint64_t(fd) << 1 | 1;   // odd: a file descriptor; even: the counts text
    {
        std::lock_guard<std::mutex> lock(openMutex);
        ++openCount[path];
    }
    std::lock_guard<std::mutex> lock(openedMutex);
    opened += "opened " + std::string(path) + "\n";
}

bool IsOpen(const char* path)
{
    std::lock_guard<std::mutex> lock(openMutex);
    const auto it = openCount.find(path);
    return it != openCount.end() && it->second > 0;
}

int Open(const char* path, fuse_file_info* fi)
{
    if ((fi->flags & O_ACCMODE) != O_RDONLY && !writable)
        return -EROFS;
    if (std::strcmp(path, kCountsName) == 0) {
        fi->fh = reinterpret_cast<uint64_t>(new std::string(CountsText()));
        fi->direct_io = 1;
        return 0;
    }
    Wait(opens);
    const int fd = ::openat(sourceFd, Relative(path).c_str(), fi->flags & (O_ACCMODE | O_TRUNC | O_APPEND));
    if (fd < 0)
        return -errno;
    Opened(path, fd, fi);
    return 0;
}

int Create(const char* path, mode_t mode, fuse_file_info* fi)
{
    Wait(changes);
    const int fd = ::openat(sourceFd, Relative(path).c_str(), fi->flags | O_CREAT, mode);
    if (fd < 0)
        return -errno;
    Opened(path, fd, fi);
    return 0;
}

int Write(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* fi)
{
    Wait(changes);
    const ssize_t n = ::pwrite(int(fi->fh >> 1), buffer, size, offset);
    return n < 0 ? -errno : int(n);
}

int Fsync(const char*, int, fuse_file_info* fi)
{
    Wait(changes);
    return ::fsync(int(fi->fh >> 1)) == 0 ? 0 : -errno;
}

int Result(int r) { return r == 0 ? 0 : -errno; }

int Rename(const char* from, const char* to, unsigned int flags)
{
    Wait(changes);
    if (flags != 0)
        return -EINVAL;
    if (IsOpen(from) || IsOpen(to))
        return -EBUSY;
    return Result(::renameat(sourceFd, Relative(from).c_str(), sourceFd, Relative(to).c_str()));
}

int Unlink(const char* path)
{
    Wait(changes);
    return IsOpen(path) ? -EBUSY : Result(::unlinkat(sourceFd, Relative(path).c_str(), 0));
}

int MakeDir(const char* path, mode_t mode)
{
    Wait(changes);
    return Result(::mkdirat(sourceFd, Relative(path).c_str(), mode));
}

int RemoveDir(const char* path)
{
    Wait(changes);
    return Result(::unlinkat(sourceFd, Relative(path).c_str(), AT_REMOVEDIR));
}

int SetTimes(const char* path, const timespec times[2], fuse_file_info*)
{
    Wait(changes);
    return Result(::utimensat(sourceFd, Relative(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int SetMode(const char* path, mode_t mode, fuse_file_info*)
{
    Wait(changes);
    return Result(::fchmodat(sourceFd, Relative(path).c_str(), mode, 0));
}

int Truncate(const char* path, off_t size, fuse_file_info* fi)
{
    Wait(changes);
    if (fi)
        return Result(::ftruncate(int(fi->fh >> 1), size));
    const int fd = ::openat(sourceFd, Relative(path).c_str(), O_WRONLY);
    if (fd < 0)
        return -errno;
    const int r = Result(::ftruncate(fd, size));
    ::close(fd);
    return r;
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi)
{
    if (!(fi->fh & 1)) {
        const std::string& text = *reinterpret_cast<std::string*>(fi->fh);
        if (offset >= off_t(text.size()))
            return 0;
        const size_t n = std::min(size, text.size() - size_t(offset));
        std::memcpy(buffer, text.data() + offset, n);
        return int(n);
    }
    Wait(reads);
    const ssize_t n = ::pread(int(fi->fh >> 1), buffer, size, offset);
    return n < 0 ? -errno : int(n);
}

int Release(const char* path, fuse_file_info* fi)
{
    if (!(fi->fh & 1)) {
        delete reinterpret_cast<std::string*>(fi->fh);
        return 0;
    }
    if (path) {
        std::lock_guard<std::mutex> lock(openMutex);
        --openCount[path];
    }
    ++releases;
    ::close(int(fi->fh >> 1));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    writable = argc > 4 && std::strcmp(argv[argc - 1], "writable") == 0;
    if (writable)
        --argc;
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT DELAY_MS [STAT_DELAY_MS] [writable]\n", argv[0]);
        return 2;
    }
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);   // ends, and so unmounts, with the test that started it
    sourceFd = ::open(argv[1], O_RDONLY | O_DIRECTORY);
    if (sourceFd < 0) {
        std::perror(argv[1]);
        return 2;
    }
    delay = std::chrono::microseconds(long(std::atof(argv[3]) * 1000));
    statDelay = argc == 5 ? std::chrono::microseconds(long(std::atof(argv[4]) * 1000)) : delay;
    fuse_operations ops{};
    ops.init = Init;
    ops.getattr = GetAttr;
    ops.readdir = ReadDir;
    ops.open = Open;
    ops.read = Read;
    ops.release = Release;
    if (writable) {
        ops.create = Create;
        ops.write = Write;
        ops.fsync = Fsync;
        ops.rename = Rename;
        ops.unlink = Unlink;
        ops.mkdir = MakeDir;
        ops.rmdir = RemoveDir;
        ops.utimens = SetTimes;
        ops.chmod = SetMode;
        ops.truncate = Truncate;
    }
    const char* options = writable ? "auto_unmount,default_permissions,fsname=slowfs,max_threads=64"
                                   : "ro,auto_unmount,default_permissions,fsname=slowfs,max_threads=64";
    std::vector<char*> args = {argv[0], argv[2], const_cast<char*>("-f"), const_cast<char*>("-o"),
                               const_cast<char*>(options)};
    return fuse_main(int(args.size()), args.data(), &ops, nullptr);
}
