#pragma once

#include "core/jobs/CancelToken.h"

#include <chrono>
#include <string>

namespace rm {

// Whether a computer takes a TCP connection on a port: a sign of life from
// computers that drop pings. Called from many threads at once.
class PortProbe {
public:
    virtual ~PortProbe() = default;
    // False when the name does not resolve, the connection is refused or not
    // made within `limit`, or `cancel` is set meanwhile.
    virtual bool accepts(const std::string& name, int port, std::chrono::milliseconds limit,
                         const CancelToken& cancel) = 0;
};

} // namespace rm
