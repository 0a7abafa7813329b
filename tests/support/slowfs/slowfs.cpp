// slowfs: a read-only pass-through file system that stands in for a file
// server in tests and benchmarks. Every lookup (getattr), readdir, open and
// read waits a fixed delay first, as a network round trip would, and is
// counted. As a client of a file server does (Linux's SMB client by
// default), the kernel keeps what a lookup told of a file for one second;
// the bytes are read again at every open. A listing on POSIX needs a
// lookup per name for sizes and times; Windows gets them with the names,
// which STAT_DELAY_MS 0 stands for.
//
//   slowfs SOURCE MOUNTPOINT DELAY_MS [STAT_DELAY_MS]
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
std::atomic<long> getattrs{0}, readdirs{0}, opens{0}, reads{0}, releases{0};
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
                       + std::to_string(releases) + "\n";
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

int Open(const char* path, fuse_file_info* fi)
{
    if ((fi->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    if (std::strcmp(path, kCountsName) == 0) {
        fi->fh = reinterpret_cast<uint64_t>(new std::string(CountsText()));
        fi->direct_io = 1;
        return 0;
    }
    Wait(opens);
    const int fd = ::openat(sourceFd, Relative(path).c_str(), O_RDONLY);
    if (fd < 0)
        return -errno;
    fi->fh = uint64_t(fd) << 1 | 1;   // odd: a file descriptor; even: the counts text
    std::lock_guard<std::mutex> lock(openedMutex);
    opened += "opened " + std::string(path) + "\n";
    return 0;
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

int Release(const char*, fuse_file_info* fi)
{
    if (!(fi->fh & 1)) {
        delete reinterpret_cast<std::string*>(fi->fh);
        return 0;
    }
    ++releases;
    ::close(int(fi->fh >> 1));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT DELAY_MS [STAT_DELAY_MS]\n", argv[0]);
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
    std::vector<char*> args = {argv[0], argv[2], const_cast<char*>("-f"), const_cast<char*>("-o"),
                               const_cast<char*>("ro,auto_unmount,default_permissions,fsname=slowfs,max_threads=64")};
    return fuse_main(int(args.size()), args.data(), &ops, nullptr);
}
