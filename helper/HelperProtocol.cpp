#include "helper/HelperProtocol.h"

#include "core/ports/Wipe.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rm {

WireWriter& WireWriter::number(std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes_ += static_cast<char>((n >> (8 * i)) & 0xFF);
    return *this;
}

WireWriter& WireWriter::text(const std::string& s)
{
    number(static_cast<std::uint32_t>(s.size()));
    bytes_ += s;
    return *this;
}

void WireWriter::wipe()
{
    rm::wipe(bytes_);
}

bool WireReader::number(std::uint32_t& n)
{
    if (bytes_.size() - pos_ < 4)
        return false;
    n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return true;
}

bool WireReader::text(std::string& s)
{
    std::uint32_t n = 0;
    if (!number(n) || bytes_.size() - pos_ < n)
        return false;
    s.assign(bytes_, pos_, n);
    pos_ += n;
    return true;
}

namespace {

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        // A peer that has gone must fail the write, not raise SIGPIPE.
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == ENOTSOCK)
            n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// With a deadline, waits for each piece no longer than until then.
bool waitReadable(int fd, const std::optional<std::chrono::steady_clock::time_point>& deadline)
{
    if (!deadline)
        return true;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0;
    }
}

bool readAll(int fd, char* data, std::size_t size, const std::optional<std::chrono::steady_clock::time_point>& deadline)
{
    while (size > 0) {
        if (!waitReadable(fd, deadline))
            return false;
        ssize_t n = ::read(fd, data, size);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool writeFrame(int fd, const std::string& payload)
{
    WireWriter header;
    header.number(static_cast<std::uint32_t>(payload.size()));
    // Of its final size from the start, as the payload may hold a password.
    std::string frame;
    frame.reserve(header.bytes().size() + payload.size());
    frame += header.bytes();
    frame += payload;
    const bool ok = writeAll(fd, frame.data(), frame.size());
    wipe(frame);
    return ok;
}

bool readFrame(int fd, std::string& payload, std::optional<std::chrono::steady_clock::time_point> deadline)
{
    char header[4];
    if (!readAll(fd, header, 4, deadline))
        return false;
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t(static_cast<unsigned char>(header[i])) << (8 * i);
    if (n > MaxFrame)
        return false;
    payload.assign(n, '\0');
    return readAll(fd, payload.data(), n, deadline);
}

} // namespace rm
