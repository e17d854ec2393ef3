#include "adapters/linux/GetrandomSource.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/random.h>

namespace rm {

void GetrandomSource::fill(std::span<std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        // Large requests may come back short when a signal arrives.
        const ssize_t n = ::getrandom(bytes.data() + done, bytes.size() - done, 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            std::fprintf(stderr, "rostermill: no random bytes from the kernel: %s\n",
                         n < 0 ? std::strerror(errno) : "empty answer");
            std::abort();
        }
    }
}

} // namespace rm
