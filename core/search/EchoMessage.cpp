#include "core/search/EchoMessage.h"

namespace rm::echo {
namespace {

void putLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
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

std::array<std::uint8_t, RequestSize> request(std::uint32_t index, std::uint16_t sequence)
{
    std::array<std::uint8_t, RequestSize> m{};
    m[0] = 8;
    m[1] = 0;
    putLittleEndian(&m[4], index & 0xFFFF, 2);
    putLittleEndian(&m[6], sequence, 2);
    putLittleEndian(&m[8], index, 4);
    putLittleEndian(&m[12], Marker, 4);
    const std::uint16_t sum = internetChecksum(m.data(), m.size());
    m[2] = static_cast<std::uint8_t>(sum >> 8);
    m[3] = static_cast<std::uint8_t>(sum);
    return m;
}

std::optional<std::uint32_t> replyIndex(const std::uint8_t* datagram, std::size_t size)
{
    if (size < ReplyMarkerOffset + 4 || littleEndian32(datagram + ReplyMarkerOffset) != Marker)
        return std::nullopt;
    return littleEndian32(datagram + ReplyIndexOffset);
}

} // namespace rm::echo
