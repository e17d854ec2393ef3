#pragma once

#include "core/batch/BatchRequest.h"
#include "core/ports/NetStatus.h"

#include <ctime>
#include <vector>

namespace rm {

// One action on one account: asked for, tried, and how it ended.
struct ActionOutcome {
    bool requested = false;
    bool attempted = false;
    NetStatus status = NetStatus::Success;

    bool succeeded() const { return attempted && status == NetStatus::Success; }
    bool failed() const { return attempted && status != NetStatus::Success; }
};

// What became of one selected account.
struct AccountOutcome {
    BatchTarget target;
    std::time_t time = 0;   // when the batch was confirmed
    bool processed = false; // reached before a cancel
    ActionOutcome password, enable, rename;
    // A generated password, encrypted (an armoured block), when the activity
    // log keeps it.
    std::string sealedPassword;
};

// The nine counts of a batch: per action succeeded, failed and total.
struct BatchCounts {
    struct Count {
        int succeeded = 0, failed = 0, total = 0;
        bool operator==(const Count&) const = default;
    };
    Count rename, password, enable;

    int failed() const { return rename.failed + password.failed + enable.failed; }
    bool operator==(const BatchCounts&) const = default;
};

// A batch as it ran: the request's actions and every account's outcome, in
// the order of the targets.
struct BatchOutcome {
    bool rename = false;
    std::string newName;
    bool changePassword = false;
    EnabledChoice enabledChoice = EnabledChoice::Keep;
    std::vector<AccountOutcome> accounts;
    BatchCounts counts;
    bool cancelled = false;
};

} // namespace rm
