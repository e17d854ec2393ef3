#include "settings/WriteFully.h"

#include <cerrno>
#include <unistd.h>

namespace rm {

int writeFully(int fd, const std::string& s)
{
    std::size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace rm
