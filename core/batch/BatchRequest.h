#pragma once

#include "core/passwords/PasswordOptions.h"
#include "core/ports/Secret.h"

#include <cstdint>

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

// Passwords drawn for each account instead of the typed one, and where the
// encrypted record of them goes.
struct GeneratedPasswords {
    PasswordOptions options;
    std::vector<std::string> words;      // the dictionary, in passphrase mode
    std::optional<std::int32_t> length; // characters or words, instead of the options' bits
    std::string recordFile;             // the separate record; empty: beside the activity log
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
    // With changePassword: a generated password for each account, the typed
    // ones not consulted.
    std::optional<GeneratedPasswords> generated;
    EnabledChoice enabledChoice = EnabledChoice::Keep;
    // The same-machine test of a rename runs in group mode only.
    bool groupMode = false;
};

} // namespace rm
