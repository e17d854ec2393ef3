#pragma once

#include "core/ports/Secret.h"

#include <optional>
#include <string>

namespace rm {

// Whether the program has a terminal to ask on (its controlling one).
bool hasTerminal();

// A line typed on the terminal after `prompt`; nothing when there is no
// terminal or it ended.
std::optional<std::string> askTerminal(const std::string& prompt);
// Likewise without its echo: a password.
std::optional<Secret> askSecret(const std::string& prompt);

// One line read from a file descriptor (its line end dropped), at most
// 1024 bytes: a password handed over by another program. Reads byte by
// byte, so what follows the line stays for others. Throws UsageError.
Secret readSecretLine(int fd, const std::string& what);

} // namespace rm
