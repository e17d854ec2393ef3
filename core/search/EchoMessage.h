#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace rm {

// The ping scan's ICMP echo request and what its reply says.
namespace echo {

constexpr std::size_t RequestSize = 40;
constexpr std::uint32_t Marker = 0x0B0B100D;
// After the IPv4 header: type, code, checksum, identifier, sequence, index, marker.
constexpr std::size_t EchoedBytes = 16;

// RFC 1071 over `size` bytes.
std::uint16_t internetChecksum(const std::uint8_t* data, std::size_t size);

// Type 8, code 0, checksum, identifier and sequence number in network byte
// order, then the index and the marker little-endian, then zeros.
std::array<std::uint8_t, RequestSize> request(std::uint32_t index, std::uint16_t identifier, std::uint16_t sequence);

// An echo reply carrying our marker, as it came.
struct Reply {
    std::uint32_t source = 0; // network byte order
    std::uint16_t identifier = 0;
    std::uint16_t sequence = 0;
    std::uint32_t index = 0;
};

// The echo reply in a datagram read from an IcmpSocket (an IPv4 header, its
// length in its first byte, then the ICMP message), or nothing when it holds
// none with our marker. Whether it answers one of our requests is the
// caller's to judge. Reads nothing past `size`.
std::optional<Reply> parseReply(const std::uint8_t* datagram, std::size_t size);

} // namespace echo
} // namespace rm
