#pragma once

#include "core/ports/PortProbe.h"

namespace rm {

// A connection attempt of the calling thread, the same one a check makes
// before it takes a helper.
class TcpPortProbe : public PortProbe {
public:
    bool accepts(const std::string& name, int port, std::chrono::milliseconds limit,
                 const CancelToken& cancel) override;
};

} // namespace rm
