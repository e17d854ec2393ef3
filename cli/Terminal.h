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
// Likewise without its echo: a password, `what` in the error for one
// holding a NUL byte (UsageError).
std::optional<Secret> askSecret(const std::string& prompt, const std::string& what);

// One line read from a file descriptor (its line end dropped), at most
// 1024 bytes: a password handed over by another program. Reads byte by
// byte, so what follows the line stays for others; with `closeAfter` the
// descriptor is closed afterwards, unless it is standard input, output or
// error. Throws UsageError, also for a line holding a NUL byte.
Secret readSecretLine(int fd, const std::string& what, bool closeAfter);

} // namespace rm
