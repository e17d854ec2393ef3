// The whole lab directory scanned by the program's directory scan over its
// OpenLDAP adapter, then by ldapsearch with its paged-results control, with
// the same Kerberos identity, server, base, filter and attributes, taking
// turns; each timed from start to the last object. Runs inside the lab
// (lab/run); its last line holds the figures (the median of the rounds).
#include "core/search/DirectoryScan.h"
#include "adapters/ldap/OpenLdapDirectory.h"
#include "support/LabManifest.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace rm;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The objects ldapsearch printed, or -1 when it failed.
long ldapsearch(const std::string& server, const std::string& base)
{
    const std::string command = "ldapsearch -LLL -Y GSSAPI -N -Q -o ldif-wrap=no -E pr=250/noprompt -H ldap://"
        + server + " -b '" + base
        + "' 'objectClass=COMPUTER' name operatingSystem operatingSystemServicePack operatingSystemVersion"
          " | grep -c '^dn:'";
    FILE* p = ::popen(command.c_str(), "r");
    long n = -1;
    if (!p || std::fscanf(p, "%ld", &n) != 1)
        n = -1;
    if (p)
        ::pclose(p);
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    const LabManifest lab = LabManifest::load();
    if (!lab.available() || rounds < 1) {
        std::fprintf(stderr, "usage: lab/run directory-scan [ROUNDS] (inside the lab)\n");
        return 2;
    }
    const std::string domain = lab.json["domain"]["dnsName"];
    const std::string kinit = "kinit " + lab.json["operator"]["user"].get<std::string>() + "@"
        + lab.json["domain"]["realm"].get<std::string>() + " >/dev/null";
    FILE* k = ::popen(kinit.c_str(), "w");
    std::fprintf(k, "%s\n", lab.operatorPassword().c_str());
    if (::pclose(k) != 0) {
        std::fprintf(stderr, "kinit failed\n");
        return 1;
    }
    const std::vector<std::string> servers = OpenLdapDirectory::directoryServers(domain);
    if (servers.empty()) {
        std::fprintf(stderr, "no directory server for %s\n", domain.c_str());
        return 1;
    }

    OpenLdapDirectory directory; // as the ticket's identity, like ldapsearch
    std::vector<double> ours, theirs;
    std::size_t objects = 0;
    long listed = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        objects = directoryScan(directory, domain).size();
        ours.push_back(secondsSince(start));
        start = Clock::now();
        listed = ldapsearch(servers.front(), canonicalToDn(domain));
        theirs.push_back(secondsSince(start));
        std::printf("round %d: scan %zu objects in %.3f s, ldapsearch %ld in %.3f s\n", round + 1, objects,
                    ours.back(), listed, theirs.back());
    }
    (void)!std::system("kdestroy -q");
    if (listed != static_cast<long>(objects))
        std::printf("the two disagree: %zu against %ld objects\n", objects, listed);
    std::printf("objects=%zu seconds=%.3f ldapsearch_seconds=%.3f\n", objects, median(ours), median(theirs));
    return listed == static_cast<long>(objects) && objects > 0 ? 0 : 1;
}
