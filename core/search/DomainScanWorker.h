#pragma once

#include "core/search/FoundComputer.h"
#include "core/search/SearchOptions.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/DirectoryClient.h"
#include "core/ports/NetworkManagement.h"
#include "core/jobs/Worker.h"

#include <ostream>
#include <string>
#include <vector>

namespace rm {

// Gathers the computers of a domain from the browse list or the directory,
// and the machine accounts hidden from both; ends by posting 1025.
class DomainScanWorker : public Worker {
public:
    // A controller that keeps answering "more data" with nothing new is left
    // after this many such pages.
    static constexpr int MaxPagesWithNothingNew = 3;

    struct Services {
        NetworkManagement& network;
        CurrentIdentity& identity;
        DirectoryClient& directory;
        std::ostream& out; // the machine-account query's failures
    };

    DomainScanWorker(std::string domain, SearchOptions options, Services services);

    // Final once `finished` is set, and read by the dialog's caller only after that.
    const std::vector<FoundComputer>& computers() const { return computers_; }

protected:
    void run() override;

private:
    void finishWithMessage(const Message& message);
    void scanDirectory(const std::string& dnsName, std::string& controllerName);
    void scanBrowseList(const std::string& flatName, std::string& controllerName);
    void scanHidden(const std::string& controllerName);

    const std::string domain_;
    const SearchOptions options_;
    Services s_;
    std::vector<FoundComputer> computers_;
};

} // namespace rm
