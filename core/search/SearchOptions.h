#pragma once

#include <cstdint>
#include <string>

namespace rm {

// How the next search finds its computers. Field names are the stored names.
struct SearchOptions {
    std::string Domain;
    bool PingScan = true;
    bool ScanHidden = true;
    std::int32_t ScanType = 0; // 0 browse list, 1 directory
    bool RestrictToOrgUnit = false;
    bool ServersOnly = false;
    std::string OrgUnit;

    bool operator==(const SearchOptions&) const = default;
};

} // namespace rm
