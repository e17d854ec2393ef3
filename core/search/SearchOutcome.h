#pragma once

#include "core/ports/NetStatus.h"
#include "core/search/FoundComputer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rm {

// A local account as the search found it.
struct AccountInfo {
    std::string user;
    bool enabled = true;
    std::vector<std::string> groups; // its local groups, indirect ones too; empty when unreadable
    std::int32_t passwordAgeSeconds = 0;
    std::uint32_t rid = 0;

    bool operator==(const AccountInfo&) const = default;
};

// One row of the computer list: a computer, and the account on it once the
// check has found one.
struct ComputerRow {
    FoundComputer computer;
    std::optional<AccountInfo> account;

    bool operator==(const ComputerRow&) const = default;
};

// Why a computer left the list.
enum class DropReason {
    Offline,     // no sign of life to the liveness step
    Unreachable, // its network-management service could not be reached
    AccessDenied,
    NotFound,    // no such account; in group mode, no local member found
    CheckFailed, // another failure, its status kept
};

struct DroppedComputer {
    FoundComputer computer;
    DropReason reason = DropReason::NotFound;
    NetStatus status = NetStatus::Success; // the failure, where there was one

    // Counted as offline (all but NotFound).
    bool offline() const { return reason != DropReason::NotFound; }
    bool operator==(const DroppedComputer&) const = default;
};

// What the discovery step has to say beside its list.
enum class DiscoveryNotice {
    None,
    NoDirectory,           // the domain is unknown, so no directory to scan
    NoControllerForHidden, // computers were found, but no controller to ask for hidden ones
    SimpleBindOff,         // Kerberos cannot be used and the password bind is turned off
    DirectoryNotTrusted,   // no directory server proved itself for the password bind
};

// Why the liveness step removed nothing.
enum class LivenessFailure { None, NoIcmpSocket, ResolutionCancelled };

// How far a search has come.
enum class SearchState { Started, Discovered, LivenessChecked, Checked, CheckCancelled };

struct SearchCounts {
    int totalFound = 0;
    int offline = 0;
    int notExist = 0;

    // What neither elimination took.
    int matched() const { return totalFound - notExist - offline; }
    bool operator==(const SearchCounts&) const = default;
};

// Milliseconds each step took.
struct StepTimes {
    std::uint32_t discovery = 0, liveness = 0, check = 0;
};

struct SearchOutcome {
    SearchState state = SearchState::Started;
    std::vector<FoundComputer> discovered; // in discovery order
    // The list, top to bottom, as the last step left it: discovered computers
    // (the last found on top), then those of them that matched, one row per
    // account found.
    std::vector<ComputerRow> rows;
    // What the results dialog lists, each in its order.
    std::vector<FoundComputer> matched;
    std::vector<DroppedComputer> dropped;
    SearchCounts counts;
    DiscoveryNotice discoveryNotice = DiscoveryNotice::None;
    // The failure that ended the hidden-computer scan early.
    NetStatus hiddenScanFailure = NetStatus::Success;
    LivenessFailure livenessFailure = LivenessFailure::None;
    StepTimes times;
};

} // namespace rm
