#pragma once

#include "discovery/ComputerTypeText.h"

#include <string>
#include <vector>

namespace rm {

// The directory's computer objects below a canonical name ("dns.name" or
// "dns.name/Unit/Path"); never an error, at worst what was read so far.
class DirectoryScanner {
public:
    virtual ~DirectoryScanner() = default;
    virtual std::vector<DirectoryComputer> directoryScan(const std::string& canonicalName) = 0;
};

// Until the directory client exists: a directory that holds nothing.
class EmptyDirectory : public DirectoryScanner {
public:
    std::vector<DirectoryComputer> directoryScan(const std::string&) override { return {}; }
};

} // namespace rm
