#include "cli/standard_input_page.h"

#include "cli/command_failure.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>
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

constexpr std::string_view kNamePattern = "tagwright-XXXXXX.htm";

std::string temporaryFolderPath()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

// A name that others cannot guess, as mkstemps gives: the folder is shared.
std::string unguessableName(std::random_device& random)
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name(kNamePattern);
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
    for (std::size_t at = name.find('X'); at < name.size() && name[at] == 'X'; ++at)
        name[at] = kLetters[letter(random)];
    return name;
}

} // namespace

StandardInputPage::StandardInputPage() : folder_(FolderAccess().openFolder(temporaryFolderPath()))
{
    // A failure names the pattern of the name, as it did when mkstemps made the file.
    const std::string pattern = folder_.path() + "/" + std::string(kNamePattern);
    if (!folder_.isOpen())
        throw CommandFailure(pattern + ": " + std::strerror(folder_.error()));
    std::random_device random;
    int fd = -1;
    // A name that exists already is tried again, as mkstemps does.
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        name_ = unguessableName(random);
        guard_.emplace(folder_, name_);
        guard_->make([&] {
            fd = ::openat(folder_.fd(), name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            return fd >= 0;
        });
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const std::string reason = std::strerror(errno);
        guard_.reset();
        throw CommandFailure(pattern + ": " + reason);
    }
    path_ = folder_.pathOf(name_);
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
            ::unlinkat(folder_.fd(), name_.c_str(), 0);
            throw CommandFailure((got < 0 ? std::string("standard input") : path_) + ": " + reason);
        }
    }
    ::close(fd);
}

StandardInputPage::~StandardInputPage()
{
    ::unlinkat(folder_.fd(), name_.c_str(), 0);
}

} // namespace tagwright::cli
