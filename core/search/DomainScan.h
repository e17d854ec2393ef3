#pragma once

#include "core/jobs/CancelToken.h"
#include "core/jobs/Progress.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/DirectoryClient.h"
#include "core/ports/NetworkManagement.h"
#include "core/search/SearchOptions.h"
#include "core/search/SearchOutcome.h"
#include "core/search/SearchProgress.h"

#include <string>
#include <vector>

namespace rm {

// The computers of a domain from its browse list or its directory, and the
// machine accounts a controller holds that neither lists (hidden computers).
class DomainScan {
public:
    // A controller that keeps answering "more data" with nothing new is left
    // after this many such pages.
    static constexpr int MaxPagesWithNothingNew = 3;

    struct Services {
        NetworkManagement& network;
        CurrentIdentity& identity;
        DirectoryClient& directory;
    };

    DomainScan(std::string domain, SearchOptions options, Services services);

    // A cancel stops the directory between pages and the hidden scan between
    // pages; what was found stays.
    void run(Progress<SearchProgress>& progress, const CancelToken& cancel);

    const std::vector<FoundComputer>& computers() const { return computers_; }
    DiscoveryNotice notice() const { return notice_; }
    NetStatus hiddenScanFailure() const { return hiddenScanFailure_; }

private:
    void scanDirectory(const std::string& dnsName, std::string& controllerName, const CancelToken& cancel);
    void scanBrowseList(const std::string& flatName);
    // The controller the locator finds through the domain's DNS; empty when none.
    std::string locatedController(const std::string& dnsName);
    void scanHidden(const std::string& controllerName, const CancelToken& cancel);

    const std::string domain_;
    const SearchOptions options_;
    Services s_;
    std::vector<FoundComputer> computers_;
    DiscoveryNotice notice_ = DiscoveryNotice::None;
    NetStatus hiddenScanFailure_ = NetStatus::Success;
};

} // namespace rm
