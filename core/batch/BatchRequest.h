#pragma once

#include "core/ports/Secret.h"

#include <optional>
#include <string>
#include <vector>

namespace rm {

// The enabled-state choice of a batch.
enum class EnabledChoice { Keep, Enable, Disable };

// One selected account, as the list shows it.
struct BatchTarget {
    std::string computer;
    std::string user;
    std::optional<bool> enabled;     // as the search found it; nothing when not known
    std::vector<std::string> groups; // likewise

    bool operator==(const BatchTarget&) const = default;
};

// What the user asked for, texts exactly as typed, and the selected
// accounts in list order.
struct BatchRequest {
    std::vector<BatchTarget> targets;
    bool rename = false;
    std::string newName;
    bool changePassword = false;
    Secret password;
    Secret verification;
    EnabledChoice enabledChoice = EnabledChoice::Keep;
    // The same-machine test of a rename runs in group mode only.
    bool groupMode = false;
};

} // namespace rm
