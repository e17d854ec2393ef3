#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace rm {

// Requests to the network-management helper and their answers: a frame is a
// 4-byte little-endian length and that many bytes; inside, numbers are 4-byte
// little-endian and texts a length and their UTF-8 bytes.
enum class HelperOp : std::uint32_t {
    SetCredentials = 1,
    UserGetInfo = 2,
    UserSetPassword = 3,
    UserSetFlags = 4,
    UserSetName = 5,
    UserGetLocalGroups = 6,
    LocalGroupGetMembers = 7,
    QueryDisplayMachines = 8,
    ServerEnum = 9,
    GetDcName = 10,
    UserGetInfoByRid = 11,
};

// What SetCredentials's flags allow.
constexpr std::uint32_t RefuseNtlm = 1; // Kerberos only, whatever the computer

constexpr std::uint32_t MaxFrame = 16u << 20;

class WireWriter {
public:
    WireWriter() = default;
    // Room for `size` bytes from the start: a buffer that grows frees the
    // old one as it was, so one that will hold a password is made whole.
    explicit WireWriter(std::size_t size) { bytes_.reserve(size); }
    static constexpr std::size_t numberSize = 4;
    static std::size_t textSize(const std::string& s) { return numberSize + s.size(); }

    WireWriter& number(std::uint32_t n);
    WireWriter& text(const std::string& s);
    const std::string& bytes() const { return bytes_; }
    // The buffer itself, handed over without a copy.
    std::string take() { return std::move(bytes_); }
    // Overwrites the buffer, so a password does not linger in freed memory.
    void wipe();

private:
    std::string bytes_;
};

class WireReader {
public:
    explicit WireReader(const std::string& bytes) : bytes_(bytes) {}
    bool number(std::uint32_t& n);
    bool text(std::string& s);
    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    const std::string& bytes_;
    std::size_t pos_ = 0;
};

// Whole frames over a file descriptor; false on end of file, error, a frame
// over the limit, or (reading) the deadline passing first.
bool writeFrame(int fd, const std::string& payload);
bool readFrame(int fd, std::string& payload,
               std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);

} // namespace rm
