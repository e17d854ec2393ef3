#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

namespace rm {

// A GnuPG home of the test's own, the process's GNUPGHOME while it lives
// (children inherit it); its agent is ended and the folder removed after.
class GpgHome {
public:
    GpgHome()
    {
        char pattern[] = "/tmp/rm-gpg-XXXXXX"; // short: the agent's socket path has a limit
        if (::mkdtemp(pattern))
            path_ = pattern;
        ::setenv("GNUPGHOME", path_.c_str(), 1);
    }
    ~GpgHome()
    {
        run("gpgconf --homedir " + path_ + " --kill all");
        ::unsetenv("GNUPGHOME");
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    GpgHome(const GpgHome&) = delete;
    GpgHome& operator=(const GpgHome&) = delete;

    const std::string& path() const { return path_; }
    bool valid() const { return !path_.empty(); }

    // A new key pair without a passphrase (ed25519, with a cv25519
    // encryption subkey) for `userId`; its fingerprint, or empty. An expired
    // one is made as in 2020, valid for a day.
    std::string generate(const std::string& userId, bool expired = false)
    {
        const std::set<std::string> before = fingerprints(false);
        run("gpg --batch --quiet --passphrase '' " + std::string(expired ? "--faked-system-time 20200101T000000! " : "")
            + "--quick-gen-key '" + userId + "' future-default default " + (expired ? "1d" : "never"));
        for (const std::string& f : fingerprints(false))
            if (!before.count(f))
                return f;
        return {};
    }
    // The key's secret part gone: only its public key stays.
    void forgetSecret(const std::string& fingerprint)
    {
        run("gpg --batch --quiet --yes --delete-secret-keys " + fingerprint);
    }
    // The fingerprints of the primary keys, or of those with a secret part.
    std::set<std::string> fingerprints(bool secret)
    {
        std::set<std::string> found;
        FILE* list = ::popen(("gpg --batch --with-colons " + std::string(secret ? "--list-secret-keys" : "--list-keys")
                              + " 2>/dev/null").c_str(),
                             "r");
        if (!list)
            return found;
        char line[4096];
        bool primary = false;
        while (std::fgets(line, sizeof line, list)) {
            const std::string l = line;
            if (l.rfind("pub:", 0) == 0 || l.rfind("sec:", 0) == 0)
                primary = true;
            else if (l.rfind("sub:", 0) == 0 || l.rfind("ssb:", 0) == 0)
                primary = false;
            else if (primary && l.rfind("fpr:", 0) == 0)
                found.insert(l.substr(l.find_first_not_of(':', 4), 40));
        }
        ::pclose(list);
        return found;
    }
    void configure(const std::string& lines) { std::ofstream(path_ + "/gpg.conf", std::ios::app) << lines; }

private:
    static void run(const std::string& command) { (void)!std::system((command + " >/dev/null 2>&1").c_str()); }

    std::string path_;
};

} // namespace rm
