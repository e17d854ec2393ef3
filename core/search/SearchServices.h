#pragma once

#include "core/jobs/ThreadStarter.h"
#include "core/jobs/TickClock.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/DirectoryClient.h"
#include "core/ports/HostResolver.h"
#include "core/ports/IcmpSocket.h"
#include "core/ports/NetworkManagement.h"
#include "core/ports/PortProbe.h"

namespace rm {

// What a search uses of the platform.
struct SearchServices {
    NetworkManagement& network;
    CurrentIdentity& identity;
    DirectoryClient& directory;
    HostResolver& resolver;
    IcmpSockets& icmp;
    PortProbe& probe;
    ThreadStarter& threads;
    TickClock& clock;
};

} // namespace rm
