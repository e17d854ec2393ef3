#include "core/passwords/Dictionary.h"
#include "core/passwords/WordList.h"

#include <filesystem>

namespace rm {

std::vector<std::string> loadDictionary(FileReader& files, const std::string& dictionaryFile)
{
    constexpr std::size_t Limit = 16u << 20;
    if (dictionaryFile.empty())
        return {};
    std::vector<std::string> places;
    // A relative name is never looked for in the current folder, where
    // anyone who can write there could plant a list: only in the installed
    // data folder, then in the one a build tree generates, so the programs
    // find it run from either.
    if (std::filesystem::path(dictionaryFile).is_absolute())
        places.push_back(dictionaryFile);
    else
        for (const char* folder : {RM_DATA_DIR, RM_BUILD_DATA_DIR})
            places.push_back((std::filesystem::path(folder) / dictionaryFile).string());
    for (const auto& place : places)
        if (auto text = files.readFile(place, Limit))
            return readWordList(*text);
    return {};
}

} // namespace rm
