#pragma once

#include "core/ports/FileReader.h"

#include <string>
#include <vector>

namespace rm {

// The passphrase words of the options' "DictionaryFile": a relative name is
// looked for as given, then in the program's data folder. No words when no
// readable file of at most 16 MiB is found.
std::vector<std::string> loadDictionary(FileReader& files, const std::string& dictionaryFile);

} // namespace rm
