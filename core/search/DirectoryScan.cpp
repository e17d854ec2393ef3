#include "core/search/DirectoryScan.h"

namespace rm {
namespace {

using namespace std::chrono_literals;

const char* const Attributes[] = {"name", "operatingSystem", "operatingSystemServicePack", "operatingSystemVersion"};

DirectoryComputer record(const DirectoryEntry& entry)
{
    DirectoryComputer c;
    std::string* fields[] = {&c.name, &c.operatingSystem, &c.operatingSystemServicePack, &c.operatingSystemVersion};
    for (const DirectoryAttribute& attribute : entry)
        for (std::size_t i = 0; i < std::size(Attributes); ++i)
            if (attribute.name == Attributes[i]) // exactly: case counts
                for (const std::string& value : attribute.values)
                    *fields[i] = value; // of several, the last stays
    return c;
}

} // namespace

std::string canonicalToDn(const std::string& canonicalName)
{
    const std::size_t slash = canonicalName.find('/');
    std::string units;
    if (slash != std::string::npos) {
        std::string path = canonicalName.substr(slash + 1);
        if (path.empty() || path.back() != '/')
            path += '/';
        // Each unit goes in front: the deepest comes first.
        for (std::size_t end; (end = path.find('/')) != std::string::npos; path.erase(0, end + 1))
            units = "ou=" + path.substr(0, end) + "," + units;
    }
    std::string domain = canonicalName.substr(0, slash);
    std::string components;
    for (std::size_t dot; (dot = domain.find('.')) != std::string::npos; domain.erase(0, dot + 1))
        components += "dc=" + domain.substr(0, dot) + ",";
    return units + components + "dc=" + domain;
}

std::vector<DirectoryComputer> directoryScan(DirectoryClient& client, const std::string& canonicalName,
                                             const CancelToken* cancel, bool allowSimpleBind, BindResult* bound)
{
    std::vector<DirectoryComputer> found;
    const std::unique_ptr<DirectoryClient::Connection> connection =
        client.connect(canonicalName.substr(0, canonicalName.find('/')));
    const BindResult result = connection ? connection->bind(allowSimpleBind) : BindResult::Unreachable;
    if (bound)
        *bound = result;
    if (result != BindResult::Bound)
        return found;
    const DirectoryQuery query{canonicalToDn(canonicalName), "objectClass=COMPUTER",
                               std::vector<std::string>(std::begin(Attributes), std::end(Attributes)),
                               250, 60s, 1000s};
    // Declared after the connection: abandoned before it is closed.
    const std::unique_ptr<DirectoryClient::Search> search = connection->searchPaged(query);
    if (!search)
        return found;
    std::vector<DirectoryEntry> page;
    while (!(cancel && cancel->cancelled()) && search->nextPage(page)) {
        for (const DirectoryEntry& entry : page)
            found.push_back(record(entry)); // also without a name
        page.clear();
    }
    return found;
}

} // namespace rm
