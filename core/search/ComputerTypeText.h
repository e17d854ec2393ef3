#pragma once

#include <cstdint>
#include <string>

namespace rm {

struct ComputerType {
    std::string text;
    bool server = false;
};

// The type text of a browse-list entry from its type bits and version.
ComputerType browseTypeText(std::uint32_t type, std::uint32_t versionMajor, std::uint32_t versionMinor);

// One computer object of the directory.
struct DirectoryComputer {
    std::string name;
    std::string operatingSystem;
    std::string operatingSystemServicePack;
    std::string operatingSystemVersion;
};

// The type text of a directory object from its operating-system attributes.
ComputerType directoryTypeText(const DirectoryComputer& computer);

} // namespace rm
