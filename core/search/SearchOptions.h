#pragma once

#include <cstdint>
#include <string>

namespace rm {

// Where the computers of a domain are read from. A stored value other than
// these two reads as neither (the options dialog then selects none) and
// scans the browse list.
enum class DiscoveryMethod : std::int32_t { BrowseList = 0, Directory = 1 };

// How the next search finds its computers.
struct SearchOptions {
    std::string domain;
    bool pingScan = true;
    bool scanHidden = true;
    DiscoveryMethod method = DiscoveryMethod::BrowseList;
    bool restrictToOrgUnit = false;
    bool serversOnly = false;
    std::string orgUnit;
    // Where Kerberos cannot be used, the directory may be bound with the
    // typed password instead (over verified TLS only).
    bool allowSimpleBind = false;

    bool operator==(const SearchOptions&) const = default;
};

} // namespace rm
