#include "cli/Terminal.h"

#include "cli/CliOptions.h"
#include "cli/Interruption.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace rm {
namespace {

constexpr std::size_t MaxSecret = 1024;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int openTerminal()
{
    return ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
}

// Waits for `fd` to be readable; throws Interrupted when Ctrl+C comes first.
void awaitInput(int fd)
{
    pollfd waits[2] = {{fd, POLLIN, 0}, {interruptionDescriptor(), POLLIN, 0}};
    for (;;) {
        if (interruptionSignal() != 0)
            throw Interrupted{interruptionSignal()};
        if (::poll(waits, waits[1].fd >= 0 ? 2 : 1, -1) < 0 && errno != EINTR)
            return; // the read says what is wrong
        if (waits[1].revents != 0)
            throw Interrupted{interruptionSignal()};
        if (waits[0].revents != 0)
            return;
    }
}

// Up to the line's end; false at the end of input before any line end, or on
// a read error, or past the limit.
bool readLine(int fd, std::string& line, std::size_t limit)
{
    for (;;) {
        awaitInput(fd);
        char c;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return !line.empty() && n == 0;
        if (c == '\n')
            break;
        if (line.size() >= limit)
            return false;
        line += c;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// A C string ends at a NUL: a password holding one would be cut short
// further on without a word.
void refuseNul(std::string& secret, const std::string& what)
{
    if (secret.find('\0') == std::string::npos)
        return;
    wipe(secret);
    throw UsageError(what + " holds a NUL byte, which a password cannot");
}

std::optional<std::string> readTerminal(const std::string& prompt, bool secret)
{
    const Descriptor tty(openTerminal());
    if (tty.get() < 0)
        return std::nullopt;
    // Silent before the prompt shows: nothing typed after it may echo.
    HeldTerminal held(tty.get());
    if (secret)
        held.silence();
    if (::write(tty.get(), prompt.data(), prompt.size()) < 0)
        return std::nullopt;
    std::string line;
    line.reserve(MaxSecret + 1); // no reallocation leaves a copy behind
    bool read = false;
    try {
        read = readLine(tty.get(), line, MaxSecret);
    } catch (const Interrupted&) {
        wipe(line);
        (void)!::write(tty.get(), "\n", 1);
        throw;
    }
    if (!read) {
        wipe(line);
        return std::nullopt;
    }
    return line;
}

} // namespace

bool hasTerminal()
{
    const Descriptor tty(openTerminal());
    return tty.get() >= 0;
}

std::optional<std::string> askTerminal(const std::string& prompt)
{
    return readTerminal(prompt, false);
}

std::optional<Secret> askSecret(const std::string& prompt, const std::string& what)
{
    std::optional<std::string> line = readTerminal(prompt, true);
    if (!line)
        return std::nullopt;
    refuseNul(*line, what);
    return Secret(std::move(*line));
}

Secret readSecretLine(int fd, const std::string& what, bool closeAfter)
{
    // Read once, the descriptor goes: nothing started later inherits it.
    struct Closer {
        int fd;
        ~Closer()
        {
            if (fd > STDERR_FILENO)
                ::close(fd);
        }
    } closer{closeAfter ? fd : -1};
    std::string line;
    line.reserve(MaxSecret + 1);
    errno = 0;
    bool read = false;
    try {
        read = readLine(fd, line, MaxSecret);
    } catch (const Interrupted&) {
        wipe(line);
        throw;
    }
    if (!read) {
        const bool tooLong = line.size() >= MaxSecret;
        const int error = errno;
        wipe(line);
        if (tooLong)
            throw UsageError(what + " is longer than " + std::to_string(MaxSecret) + " bytes");
        if (error == EBADF)
            throw UsageError(what + ": file descriptor " + std::to_string(fd) + " is not open");
        if (error != 0)
            throw UsageError(what + " could not be read from file descriptor " + std::to_string(fd));
        // An empty input is an empty password; the checks ask about it.
    }
    refuseNul(line, what);
    return Secret(std::move(line));
}

} // namespace rm
