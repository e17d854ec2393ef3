#pragma once

#include "settings/RegistryFileStore.h"

#include <memory>

namespace rm {

// The program's own profile: under the company key "Korvane", the key of the
// application "Rostermill", in the user's settings file.
std::unique_ptr<RegistryFileStore> openProgramProfile();

} // namespace rm
