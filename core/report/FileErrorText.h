#pragma once

#include "core/ports/FileWriter.h"

#include <string>

namespace rm {

// The standard sentence for a file that could not be written, naming it.
std::string fileErrorText(FileFailure failure, const std::string& path);

} // namespace rm
