// rostermill-cli searching the lab's load group from the command line: its
// 200 computers named in a list, pinged, and checked for the load group's
// account, as the operator. Runs inside the lab (lab/run); prints what each
// run found, and the seconds of each step on its last line.
#include "support/LabManifest.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

using namespace rm;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

int main()
{
    const LabManifest lab = LabManifest::load();
    if (!lab.available()) {
        std::fprintf(stderr, "cli-search: run inside the lab (lab/run)\n");
        return 1;
    }
    const auto& load = lab.json["load"];
    const int count = load["count"];
    char folder[] = "/tmp/rostermill-cli-bench-XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    const std::string dir = folder;
    {
        std::ofstream list(dir + "/computers");
        for (int i = 1; i <= count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%03d", load["namePrefix"].get<std::string>().c_str(), i);
            list << name << "\n";
        }
    }
    const std::string account = load["users"][0]["name"];
    // The operator's password goes in on standard input, never in a file.
    const std::string command = std::string(CLI_PATH) + " search --computers " + dir + "/computers --user " + account
        + " --ping --alive icmp --format json --timings --as '" + lab.operatorAccount() + "' --as-password-fd 0 >" + dir
        + "/out 2>" + dir + "/err";
    FILE* cli = ::popen(command.c_str(), "w");
    if (!cli)
        return 1;
    std::fprintf(cli, "%s\n", lab.operatorPassword().c_str());
    const int status = ::pclose(cli);

    const std::string err = readFile(dir + "/err");
    const auto doc = nlohmann::json::parse(readFile(dir + "/out"), nullptr, false);
    (void)!std::system(("rm -rf " + dir).c_str());
    const std::size_t timings = err.rfind("discovery_seconds=");
    if (doc.is_discarded() || timings == std::string::npos) {
        std::fprintf(stderr, "cli-search: the search failed (status %d): %s\n", status, err.c_str());
        return 1;
    }
    std::string figures = err.substr(timings);
    figures.erase(figures.find_last_not_of("\r\n") + 1);
    const auto& counts = doc["counts"];
    std::printf("computers=%d found=%d matched=%d offline=%d not_exist=%d %s\n", count,
                counts["totalFound"].get<int>(), counts["matched"].get<int>(), counts["offline"].get<int>(),
                counts["notExist"].get<int>(), figures.c_str());
    return 0;
}
