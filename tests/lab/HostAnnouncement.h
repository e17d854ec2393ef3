#pragma once

#include "support/LabManifest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rm {

// A browser host announcement, broadcast from `from` as a server sends it
// to its workgroup's master browser: the master lists `name` with `type`
// until three periods have passed without another. Type 0 withdraws the
// name. False when the datagram could not be sent.
bool announceHost(const std::string& from, const std::string& broadcast, const std::string& workgroup,
                  const std::string& name, std::uint32_t type, std::uint32_t periodicityMs);

// Names announced to the lab's master browser for as long as it lives, whose
// hosts do not answer (or do not exist); withdrawn at its end.
class StaleEntries {
public:
    StaleEntries(const LabManifest& lab, std::vector<std::string> names, std::uint32_t type);
    ~StaleEntries();
    bool announced() const { return announced_; }
    const std::vector<std::string>& names() const { return names_; }

private:
    bool announce(const std::string& name, std::uint32_t type) const;

    const LabManifest& lab_;
    std::vector<std::string> names_;
    bool announced_ = true;
};

} // namespace rm
