#pragma once

#include "core/ports/IcmpSocket.h"

namespace rm {

// A raw ICMP socket where the process may open one (root, CAP_NET_RAW), else
// the kernel's ICMP datagram socket where net.ipv4.ping_group_range admits
// the process's group. The datagram socket owns the identifier field and
// gives replies without their IP header; the adapter puts a header of 20
// bytes, with the sender's address, back in front, so a reply reads the same
// from either socket.
class LinuxIcmpSockets : public IcmpSockets {
public:
    std::unique_ptr<IcmpSocket> open() override;
};

} // namespace rm
