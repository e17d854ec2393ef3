#pragma once

#include "core/search/SearchOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace rm {

// What is searched for: a local user, the local members of a local group,
// or the built-in administrator (relative identifier 500), which domains
// often rename, so each computer's row carries its own name for it.
enum class AccountKind { User, Group, BuiltinAdministrator };

// What counts as a sign of life in the step that drops silent computers:
// an answer to a ping, a connection to the file-sharing port, or either.
enum class Liveness { Ping, Port, PingOrPort };

struct SearchRequest {
    std::string account; // exactly as typed; not used for the built-in administrator
    AccountKind kind = AccountKind::User;
    SearchOptions options;
    // The computers to check instead of the domain's.
    std::optional<std::vector<std::string>> computers;
    // Used when options.pingScan is set.
    Liveness liveness = Liveness::Ping;
};

} // namespace rm
