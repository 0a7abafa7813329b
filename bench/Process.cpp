#include "bench/Process.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> Environment(const std::vector<std::string>& extra)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry)
        env.emplace_back(*entry);
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

QByteArray ReadToEnd(int fd)
{
    QByteArray out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            return out;
    }
}

} // namespace

std::int64_t MonotonicNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

ProcessRun RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv)
{
    ProcessRun run;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = argv;
    std::vector<std::string> env = Environment(extraEnv);
    pid_t pid = 0;
    run.startNs = MonotonicNs();
    const int failed = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, Pointers(args).data(),
                                    Pointers(env).data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (failed == 0)
        run.out = ReadToEnd(pipeFds[0]);
    ::close(pipeFds[0]);
    if (failed != 0)
        return run;
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.endNs = MonotonicNs();
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace bench
