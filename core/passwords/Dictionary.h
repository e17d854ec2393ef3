#pragma once

#include "core/ports/FileReader.h"

#include <string>
#include <vector>

namespace rm {

// The passphrase words of the options' "DictionaryFile": an absolute path
// as given; a relative name in the program's data folder. No words when no
// readable file of at most 16 MiB is found.
std::vector<std::string> loadDictionary(FileReader& files, const std::string& dictionaryFile);

} // namespace rm
