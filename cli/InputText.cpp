#include "cli/InputText.h"

#include "cli/CliOptions.h"

#include <fstream>
#include <istream>

namespace rm {
namespace {

constexpr std::size_t MaxInput = 16 << 20;

std::string readAll(std::istream& in, const std::string& what)
{
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > MaxInput)
            throw UsageError(what + " is larger than 16 MiB");
    }
    if (in.bad())
        throw UsageError(what + " could not be read");
    return text;
}

} // namespace

std::string readInputText(const std::string& path, std::istream& in)
{
    if (path == "-")
        return readAll(in, "standard input");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw UsageError("cannot open " + path);
    return readAll(file, path);
}

} // namespace rm
