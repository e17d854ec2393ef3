#pragma once

#include <string>

namespace rm {

// Writes all of s to fd, carrying on after short writes and interruptions.
// 0, or the errno of the failure (ENOSPC where the system wrote nothing).
int writeFully(int fd, const std::string& s);

} // namespace rm
