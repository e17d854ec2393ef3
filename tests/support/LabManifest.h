#pragma once

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace rm {

// The lab's manifest, as lab/run hands it to the programs it runs.
struct LabManifest {
    nlohmann::json json;

    static LabManifest load()
    {
        const char* path = std::getenv("RMLAB_MANIFEST");
        std::ifstream in(path ? path : "");
        LabManifest m;
        if (in)
            m.json = nlohmann::json::parse(in, nullptr, false);
        return m;
    }
    bool available() const { return json.is_object(); }

    std::string operatorAccount() const
    {
        return json["domain"]["netbios"].get<std::string>() + "\\" + json["operator"]["user"].get<std::string>();
    }
    std::string operatorPassword() const { return json["operator"]["password"]; }
    // A Kerberos ticket for the operator in the default cache.
    bool kinitOperator() const
    {
        const std::string command = "kinit " + json["operator"]["user"].get<std::string>() + "@"
            + json["domain"]["realm"].get<std::string>() + " >/dev/null 2>&1";
        FILE* p = ::popen(command.c_str(), "w");
        if (!p)
            return false;
        std::fprintf(p, "%s\n", operatorPassword().c_str());
        return ::pclose(p) == 0;
    }
    const nlohmann::json& member(const std::string& name) const
    {
        for (const auto& m : json["members"])
            if (m["name"] == name)
                return m;
        throw std::out_of_range(name);
    }
    // When the lab was ready: its accounts were made just before.
    static long readySeconds()
    {
        const char* dir = std::getenv("RMLAB_DIR");
        struct stat st {};
        if (!dir || ::stat((std::string(dir) + "/ready").c_str(), &st) != 0)
            return 0;
        return st.st_mtime;
    }
};

} // namespace rm
