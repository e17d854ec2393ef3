#include "adapters/linux/PosixFileReader.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {

std::optional<std::string> PosixFileReader::readFile(const std::string& path, std::size_t limit)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> contents;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) <= limit) {
        std::string text(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t done = 0;
        bool failed = false;
        // Read until the end, not just the size seen: the file may grow, and
        // a grown file must still keep to the limit.
        for (;;) {
            if (done == text.size()) {
                if (text.size() > limit)
                    break;
                const std::size_t room = limit - text.size();
                text.resize(text.size() + (room < 4096 ? room + 1 : 4096));
            }
            const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else if (n == 0)
                break;
            else if (errno != EINTR) {
                failed = true;
                break;
            }
        }
        if (!failed && done <= limit) {
            text.resize(done);
            contents = std::move(text);
        }
    }
    ::close(fd);
    return contents;
}

} // namespace rm
