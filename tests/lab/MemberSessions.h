#pragma once

#include "support/LabManifest.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace rm {

// The sessions the lab's joined members authorized from the moment this was
// made on, as their logs record them: the kind of authentication ("krb5",
// "NTLMSSP") and the account, per member.
class MemberSessions {
public:
    struct Session {
        std::string kind, account;
    };

    explicit MemberSessions(const LabManifest& lab)
    {
        for (const auto& m : lab.json["joinedMembers"]) {
            const std::string name = m["name"];
            std::ifstream in(log(name), std::ios::binary | std::ios::ate);
            start_[name] = in ? static_cast<std::streamoff>(in.tellg()) : 0;
        }
    }

    std::map<std::string, std::vector<Session>> since() const
    {
        std::map<std::string, std::vector<Session>> out;
        for (const auto& [name, offset] : start_) {
            std::ifstream in(log(name), std::ios::binary);
            in.seekg(offset);
            auto& sessions = out[name];
            // "Successful AuthZ: [SMB2,krb5] user [LAB]\[operator] [S-...] ..."
            for (std::string line; std::getline(in, line);) {
                const auto at = line.find("Successful AuthZ: [");
                if (at == std::string::npos)
                    continue;
                const auto comma = line.find(',', at), close = line.find(']', at + 19);
                const auto user = line.find("user [", close), domainEnd = line.find("]\\[", user);
                const auto nameEnd = line.find(']', domainEnd + 3);
                if (comma == std::string::npos || close == std::string::npos || user == std::string::npos
                    || domainEnd == std::string::npos || nameEnd == std::string::npos)
                    continue;
                sessions.push_back({line.substr(comma + 1, close - comma - 1),
                                    line.substr(user + 6, domainEnd - user - 6) + "\\"
                                        + line.substr(domainEnd + 3, nameEnd - domainEnd - 3)});
            }
        }
        return out;
    }

private:
    static std::string log(const std::string& member)
    {
        const char* dir = std::getenv("RMLAB_DIR");
        return std::string(dir ? dir : "") + "/hosts/" + member + "/log/smbd.log";
    }

    std::map<std::string, std::streamoff> start_;
};

} // namespace rm
