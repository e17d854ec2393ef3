#include "HostAnnouncement.h"

#include <arpa/inet.h>
#include <cctype>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rm {
namespace {

void le16(std::string& b, std::uint16_t v)
{
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}

void le32(std::string& b, std::uint32_t v)
{
    le16(b, v & 0xFFFF);
    le16(b, v >> 16);
}

void be16(std::string& b, std::uint16_t v)
{
    b += static_cast<char>(v >> 8);
    b += static_cast<char>(v & 0xFF);
}

// A NetBIOS name in its first-level encoding, no scope.
std::string encodedName(const std::string& name, std::uint8_t type)
{
    std::string raw(15, ' ');
    for (std::size_t i = 0; i < name.size() && i < 15; ++i)
        raw[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
    raw += static_cast<char>(type);
    std::string out(1, 32);
    for (unsigned char c : raw) {
        out += static_cast<char>('A' + (c >> 4));
        out += static_cast<char>('A' + (c & 0x0F));
    }
    return out + '\0';
}

// The browse packet: opcode 1, host announcement.
std::string hostAnnouncement(const std::string& name, std::uint32_t type, std::uint32_t periodicityMs)
{
    std::string b(1, '\x01');
    b += '\0'; // update count
    le32(b, periodicityMs);
    std::string padded = name.substr(0, 15);
    for (char& c : padded)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    padded.resize(16, '\0');
    b += padded;
    b += '\x06';
    b += '\x01';
    le32(b, type);
    b += '\x0F';
    b += '\x01';
    le16(b, 0xAA55);
    b += "stale entry of a test";
    return b + '\0';
}

// An SMB transaction writing `data` to the browse mailslot.
std::string mailslotWrite(const std::string& data)
{
    const std::string mailslot = std::string("\\MAILSLOT\\BROWSE") + '\0';
    std::string smb = "\xffSMB";
    smb += '\x25';
    smb += std::string(27, '\0'); // status, flags, ids: all zero
    smb += '\x11';                // 17 parameter words
    const std::uint16_t dataOffset = static_cast<std::uint16_t>(32 + 1 + 34 + 2 + mailslot.size());
    const auto n = static_cast<std::uint16_t>(data.size());
    le16(smb, 0);          // total parameter count
    le16(smb, n);          // total data count
    le16(smb, 0);          // max parameter count
    le16(smb, 0);          // max data count
    smb += std::string(2, '\0'); // max setup count, reserved
    le16(smb, 0);          // flags
    le32(smb, 0);          // timeout
    le16(smb, 0);          // reserved
    le16(smb, 0);          // parameter count
    le16(smb, dataOffset); // parameter offset
    le16(smb, n);          // data count
    le16(smb, dataOffset); // data offset
    smb += '\x03';
    smb += '\0';
    le16(smb, 1); // mailslot write
    le16(smb, 1); // priority
    le16(smb, 2); // unreliable, broadcast
    le16(smb, static_cast<std::uint16_t>(mailslot.size() + data.size()));
    return smb + mailslot + data;
}

} // namespace

bool announceHost(const std::string& from, const std::string& broadcast, const std::string& workgroup,
                  const std::string& name, std::uint32_t type, std::uint32_t periodicityMs)
{
    int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0)
        return false;
    int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in source{};
    source.sin_family = AF_INET;
    source.sin_port = htons(138);
    ::inet_pton(AF_INET, from.c_str(), &source.sin_addr);
    if (::bind(s, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
        ::close(s);
        return false;
    }

    const std::string body = encodedName(name, 0x20) + encodedName(workgroup, 0x1D)
        + mailslotWrite(hostAnnouncement(name, type, periodicityMs));
    std::string datagram;
    datagram += '\x11'; // direct group datagram
    datagram += '\x02'; // first fragment, broadcast node
    be16(datagram, 1);
    datagram.append(reinterpret_cast<const char*>(&source.sin_addr), 4);
    be16(datagram, 138);
    be16(datagram, static_cast<std::uint16_t>(body.size()));
    be16(datagram, 0);
    datagram += body;

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(138);
    ::inet_pton(AF_INET, broadcast.c_str(), &to.sin_addr);
    const bool sent = ::sendto(s, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to)
        == static_cast<ssize_t>(datagram.size());
    ::close(s);
    return sent;
}

StaleEntries::StaleEntries(const LabManifest& lab, std::vector<std::string> names, std::uint32_t type)
    : lab_(lab), names_(std::move(names))
{
    for (const auto& name : names_)
        announced_ = announce(name, type) && announced_;
}

StaleEntries::~StaleEntries()
{
    for (const auto& name : names_)
        announce(name, 0);
}

bool StaleEntries::announce(const std::string& name, std::uint32_t type) const
{
    const std::string from = lab_.json["network"]["bridgeAddress"];
    in_addr address{};
    ::inet_pton(AF_INET, from.c_str(), &address);
    const int prefix = lab_.json["network"]["prefixLength"];
    address.s_addr |= htonl(0xFFFFFFFFu >> prefix);
    char broadcast[INET_ADDRSTRLEN];
    ::inet_ntop(AF_INET, &address, broadcast, sizeof broadcast);
    // Three periods of a minute: gone by itself should a test stop short.
    return announceHost(from, broadcast, lab_.json["domain"]["netbios"], name, type, 60000);
}

} // namespace rm
