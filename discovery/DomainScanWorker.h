#pragma once

#include "discovery/SearchOptions.h"
#include "discovery/DirectoryScanner.h"
#include "discovery/FoundComputer.h"
#include "platform/CurrentIdentity.h"
#include "platform/NetworkManagement.h"
#include "platform/Poster.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <atomic>
#include <ostream>
#include <vector>

namespace rm {

// What the scan's dialog and its worker share. `computers` is final once
// `finished` is set, and is read by the dialog's caller only after that.
struct DomainScanState {
    std::vector<FoundComputer> computers;
    std::atomic<bool> finished{false};
    std::atomic<bool> cancelRequested{false};
};

struct DomainScanServices {
    NetworkManagement& network;
    CurrentIdentity& identity;
    DirectoryScanner& directory;
    Prompter& prompter;
    Poster& dialog;
    WaitCursor& waitCursor;
    std::ostream& out; // the machine-account query's failures
};

// Gathers the computers of a domain from the browse list or the directory,
// and the machine accounts hidden from both; ends by posting 1025.
void domainScanWorker(const std::string& domain, const SearchOptions& options, DomainScanState& state,
                      DomainScanServices& services);

} // namespace rm
