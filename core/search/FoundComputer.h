#pragma once

#include <string>

namespace rm {

// One discovered computer: its name as the source gave it and a short type text.
struct FoundComputer {
    std::string name;
    std::string type;
    bool operator==(const FoundComputer&) const = default;
};

} // namespace rm
