#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rm {

// The names in one folder that a kind of event (IN_CREATE, IN_OPEN, IN_MOVED_TO)
// happened to while watched. The kernel queues inotify events as the calls
// are made, so a test sees them as soon as its calls return.
class DirectoryWatch {
public:
    DirectoryWatch(const std::filesystem::path& folder, std::uint32_t kind)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ >= 0)
            ::inotify_add_watch(fd_, folder.c_str(), kind);
    }
    ~DirectoryWatch()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    DirectoryWatch(const DirectoryWatch&) = delete;
    DirectoryWatch& operator=(const DirectoryWatch&) = delete;

    bool watching() const { return fd_ >= 0; }

    // The names since the last call, in order.
    std::vector<std::string> names()
    {
        std::vector<std::string> out;
        alignas(inotify_event) char buffer[16384];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len)
                    out.push_back(event->name);
                p += sizeof(inotify_event) + event->len;
            }
        }
        return out;
    }

    long count(const std::string& name)
    {
        const std::vector<std::string> all = names();
        return std::count(all.begin(), all.end(), name);
    }

private:
    int fd_;
};

} // namespace rm
