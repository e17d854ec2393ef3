#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace rm {

// The ping scan's ICMP echo request and the rule that recognises its reply.
namespace echo {

constexpr std::size_t RequestSize = 40;
constexpr std::uint32_t Marker = 0x0B0B100D;
// Offsets in a datagram taken as a 20-byte IPv4 header and the echoed message.
constexpr std::size_t ReplyIndexOffset = 28;
constexpr std::size_t ReplyMarkerOffset = 32;

// RFC 1071 over `size` bytes.
std::uint16_t internetChecksum(const std::uint8_t* data, std::size_t size);

// Type 8, code 0, checksum, the index's low 16 bits as identifier, the
// sequence number, the index, the marker, zeros; little-endian fields.
std::array<std::uint8_t, RequestSize> request(std::uint32_t index, std::uint16_t sequence);

// The index a reply carries, or nothing when the datagram is no reply to one
// of our requests. Reads nothing past `size`.
std::optional<std::uint32_t> replyIndex(const std::uint8_t* datagram, std::size_t size);

} // namespace echo
} // namespace rm
