#pragma once

// Runs a piece of a test in a child process, or as an ordinary user, so that file permissions
// apply even when the tests run as root (as in CI), where an unreadable file would be read all
// the same.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tagwright::test {

inline constexpr uid_t kNobody = 65534;

// The work's result (0..254) from a child process, so that what the work changes in its process
// (its user, its limits) leaves the test's own process alone. -1 when the child did not exit or
// exited with 255.
inline int runInChild(const std::function<int()>& work)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0)
        ::_exit(work() & 0xFF);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

// The work's result (0..254) from a child process that gave up root first; the work runs in
// this process when it is not root. -1 when the child could not drop root or did not exit.
inline int runUnprivileged(const std::function<int()>& work)
{
    if (::geteuid() != 0)
        return work();
    return runInChild([&work] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            return 255;
        return work();
    });
}

} // namespace tagwright::test
