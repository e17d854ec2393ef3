#include "cli/InputText.h"

#include "cli/CliOptions.h"

#include <cerrno>
#include <istream>

#include <fcntl.h>
#include <unistd.h>

namespace rm {
namespace {

constexpr std::size_t MaxInput = 16 << 20;

std::string readAll(std::istream& in, const std::string& what)
{
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > MaxInput)
            throw UsageError(what + " is larger than 16 MiB");
    }
    if (in.bad())
        throw UsageError(what + " could not be read");
    return text;
}

} // namespace

std::string readInputText(const std::string& path, std::istream& in)
{
    if (path == "-")
        return readAll(in, "standard input");
    // Close-on-exec, as every descriptor of the program; a file stream's is not.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw UsageError("cannot open " + path);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw UsageError(path + " could not be read");
        if (n == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > MaxInput)
            throw UsageError(path + " is larger than 16 MiB");
    }
}

} // namespace rm
