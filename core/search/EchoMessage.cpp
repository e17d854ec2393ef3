#include "core/search/EchoMessage.h"

#include <cstring>

namespace rm::echo {
namespace {

void putLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putBigEndian16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

std::uint16_t bigEndian16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

std::uint32_t littleEndian32(const std::uint8_t* at)
{
    return at[0] | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
}

} // namespace

std::uint16_t internetChecksum(const std::uint8_t* data, std::size_t size)
{
    // 16-bit words in network order; the sum's one's complement is the same
    // in either byte order, so the result is stored high byte first.
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += std::uint32_t(data[i]) << 8 | data[i + 1];
    if (size % 2)
        sum += std::uint32_t(data[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::array<std::uint8_t, RequestSize> request(std::uint32_t index, std::uint16_t identifier, std::uint16_t sequence)
{
    std::array<std::uint8_t, RequestSize> m{};
    m[0] = 8;
    m[1] = 0;
    putBigEndian16(&m[4], identifier);
    putBigEndian16(&m[6], sequence);
    putLittleEndian(&m[8], index, 4);
    putLittleEndian(&m[12], Marker, 4);
    const std::uint16_t sum = internetChecksum(m.data(), m.size());
    m[2] = static_cast<std::uint8_t>(sum >> 8);
    m[3] = static_cast<std::uint8_t>(sum);
    return m;
}

std::optional<Reply> parseReply(const std::uint8_t* datagram, std::size_t size)
{
    constexpr std::uint8_t IcmpProtocol = 1, EchoReply = 0;
    if (size < 20 || datagram[0] >> 4 != 4 || datagram[9] != IcmpProtocol)
        return std::nullopt;
    // A raw socket gives the header as it came, options and all.
    const std::size_t header = std::size_t(datagram[0] & 0x0F) * 4;
    if (header < 20 || size < header + EchoedBytes)
        return std::nullopt;
    const std::uint8_t* icmp = datagram + header;
    if (icmp[0] != EchoReply || icmp[1] != 0 || littleEndian32(icmp + 12) != Marker)
        return std::nullopt;
    Reply r;
    std::memcpy(&r.source, datagram + 12, 4);
    r.identifier = bigEndian16(icmp + 4);
    r.sequence = bigEndian16(icmp + 6);
    r.index = littleEndian32(icmp + 8);
    return r;
}

} // namespace rm::echo
