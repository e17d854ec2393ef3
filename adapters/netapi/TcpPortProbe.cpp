#include "adapters/netapi/TcpPortProbe.h"

#include "adapters/netapi/ServerProbe.h"

namespace rm {

bool TcpPortProbe::accepts(const std::string& name, int port, std::chrono::milliseconds limit,
                           const CancelToken& cancel)
{
    return acceptsConnection(name, port, limit, &cancel);
}

} // namespace rm
