#include "core/ports/ServerName.h"

#include "core/ports/Text.h"

namespace rm {

ServerName::ServerName(std::string_view computer)
    : text_(computer.substr(0, 2) == "\\\\" ? std::string(computer) : "\\\\" + std::string(computer))
{
}

bool ServerName::isComputer(std::string_view name) const
{
    return equalsIgnoringCase(std::string(computer()), std::string(name));
}

} // namespace rm
