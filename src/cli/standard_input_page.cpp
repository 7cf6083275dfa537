#include "cli/standard_input_page.h"

#include "cli/command_failure.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tagwright::cli {

namespace {

// Writes all of data to fd; false with errno set on failure.
bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

StandardInputPage::StandardInputPage()
{
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/tagwright-XXXXXX.htm";
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0)
        throw CommandFailure(name + ": " + std::strerror(errno));
    path_ = name;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            break;
        if (got < 0 || !writeAll(fd, buffer.data(), static_cast<std::size_t>(got))) {
            const std::string reason = std::strerror(errno);
            ::close(fd);
            ::unlink(path_.c_str());
            throw CommandFailure((got < 0 ? std::string("standard input") : path_) + ": " + reason);
        }
    }
    ::close(fd);
}

StandardInputPage::~StandardInputPage()
{
    ::unlink(path_.c_str());
}

} // namespace tagwright::cli
