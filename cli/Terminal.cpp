#include "cli/Terminal.h"

#include "cli/CliOptions.h"

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
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

// Up to the line's end; false at the end of input before any line end, or on
// a read error, or past the limit.
bool readLine(int fd, std::string& line, std::size_t limit)
{
    for (;;) {
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
    if (::write(tty.get(), prompt.data(), prompt.size()) < 0)
        return std::nullopt;
    termios saved{};
    const bool quiet = secret && ::tcgetattr(tty.get(), &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        silent.c_lflag |= ECHONL;
        ::tcsetattr(tty.get(), TCSAFLUSH, &silent);
    }
    std::string line;
    line.reserve(MaxSecret + 1); // no reallocation leaves a copy behind
    const bool read = readLine(tty.get(), line, MaxSecret);
    if (quiet)
        ::tcsetattr(tty.get(), TCSAFLUSH, &saved);
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
    if (!readLine(fd, line, MaxSecret)) {
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
