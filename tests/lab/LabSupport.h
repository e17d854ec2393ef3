#pragma once

// What the lab tests share: the real adapters a search uses, acting as the
// lab's operator; a log-on check; the helper's own record of an account; and
// rmtest put back as the lab made it.
#include "adapters/ldap/OpenLdapDirectory.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/NetworkIdentity.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "adapters/netapi/HelperProcess.h"
#include "adapters/netapi/NetApiClient.h"
#include "adapters/netapi/TcpPortProbe.h"
#include "app/CredentialsFanOut.h"
#include "core/search/SearchServices.h"
#include "helper/HelperProtocol.h"
#include "support/LabManifest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace rm {

// Failures print as the status number they are.
inline void PrintTo(NetStatus status, std::ostream* os)
{
    *os << statusNumber(status);
}

// The platform's flags and privileges of a level-1 user record.
namespace UserFlag {
constexpr std::uint32_t Script = 0x0001, Disabled = 0x0002, NormalAccount = 0x0200;
}
constexpr std::uint32_t PrivilegeUser = 1, PrivilegeAdmin = 2;

inline NetApiClient::Settings helperSettings(std::size_t helpers, std::chrono::milliseconds callLimit = std::chrono::seconds(30))
{
    return {HELPER_PATH, helpers, helpers, callLimit};
}

// The network client acting as the lab's operator.
class OperatorClient : public NetApiClient {
public:
    OperatorClient(const LabManifest& lab, Settings settings) : NetApiClient(std::move(settings))
    {
        setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    }
    OperatorClient(const LabManifest& lab, std::size_t helpers) : OperatorClient(lab, helperSettings(helpers)) {}
};

// Everything a search uses, real, the operator's account handed to the
// network and the directory as the programs' start-up hands it.
struct LabSearchServices {
    NetApiClient network;
    OpenLdapDirectory directory;
    CredentialsFanOut credentials{&network, &directory};
    NetworkIdentity identity;
    AddrInfoResolver resolver;
    LinuxIcmpSockets icmp;
    TcpPortProbe probe;
    PosixThreadStarter threads;
    SteadyTickClock clock;

    LabSearchServices(const LabManifest& lab, NetApiClient::Settings settings)
        : network(std::move(settings)),
          identity(network, credentials, [&lab](std::string& account, Secret& password) {
              account = lab.operatorAccount();
              password = Secret::copyOf(lab.operatorPassword());
              return true;
          }, true)
    {
        EXPECT_TRUE(identity.ensureCredentials());
    }
    SearchServices services() { return {network, identity, directory, resolver, icmp, probe, threads, clock}; }
};

// What logging on to the computer as its `user` with `password` answers.
inline NetStatus logOn(const std::string& user, const std::string& password, const std::string& computer = "PC01")
{
    NetApiClient asUser(helperSettings(1));
    asUser.setCredentials(user, Secret::copyOf(password));
    UserAccount account;
    return asUser.getUser(ServerName(computer), user, account);
}

// A user's level-1 record as the helper answers it, with the flags and the
// privilege that the port keeps to itself.
struct HelperUserRecord {
    NetStatus status = NetStatus::CallFailed;
    std::uint32_t flags = 0, privilege = 0, rid = 0;
};

inline HelperUserRecord helperUserRecord(const LabManifest& lab, const std::string& computer, const std::string& user)
{
    HelperUserRecord record;
    const auto helper = HelperProcess::start(HELPER_PATH);
    if (!helper)
        return record;
    WireWriter credentials;
    credentials.number(static_cast<std::uint32_t>(HelperOp::SetCredentials)).text(lab.json["operator"]["user"])
        .text(lab.json["domain"]["netbios"]).text(lab.operatorPassword()).number(30).number(0);
    WireWriter request;
    request.number(static_cast<std::uint32_t>(HelperOp::UserGetInfo)).text(ServerName(computer).text()).text(user);
    std::optional<std::string> answer;
    if (helper->call(credentials.bytes(), std::chrono::seconds(30)))
        answer = helper->call(request.bytes(), std::chrono::seconds(30));
    if (!answer)
        return record;
    WireReader in(*answer);
    std::uint32_t status = 0, age = 0;
    std::string name, home, comment, script;
    if (in.number(status) && in.text(name) && in.number(age) && in.number(record.privilege) && in.text(home)
        && in.text(comment) && in.number(record.flags) && in.text(script) && in.number(record.rid))
        record.status = static_cast<NetStatus>(status);
    return record;
}

// rmtest on PC01 as the lab made it: under its name, enabled, with the
// operator's password.
inline void restoreRmtest(const LabManifest& lab)
{
    OperatorClient net(lab, 1);
    const ServerName pc01("PC01");
    UserAccount account;
    if (net.getUser(pc01, "rmtest", account) != NetStatus::Success)
        for (const char* renamed : {"rmtest-renamed", "rmtest2"})
            net.rename(pc01, renamed, "rmtest");
    ASSERT_EQ(net.getUser(pc01, "rmtest", account), NetStatus::Success) << "rmtest must be left as it was";
    EXPECT_EQ(net.setEnabled(pc01, "rmtest", true), NetStatus::Success);
    EXPECT_EQ(net.setPassword(pc01, "rmtest", Secret::copyOf(lab.operatorPassword())), NetStatus::Success);
}

// The controller's record of simple binds from now on: the authentication
// audit raised in its LDAP processes (the pre-fork master and its workers),
// its log read from where it ended.
class ControllerSimpleBinds {
public:
    ControllerSimpleBinds() : log_(std::string(std::getenv("RMLAB_DIR")) + "/dc/log/samba.log")
    {
        auditLevel(3);
        start_ = TempDir::read(log_).size();
    }
    ~ControllerSimpleBinds() { auditLevel(0); }
    // The audit's lines on simple binds since then.
    std::string lines() const
    {
        std::string text = TempDir::read(log_);
        text.erase(0, text.size() >= start_ ? start_ : 0); // a rotated log: all of the new one
        std::istringstream in(text);
        std::string found;
        for (std::string line; std::getline(in, line);)
            if (line.find("[LDAP,simple bind") != std::string::npos)
                found += line + "\n";
        return found;
    }

private:
    static void auditLevel(int level)
    {
        const std::string conf = std::string(std::getenv("RMLAB_DIR")) + "/dc/etc/smb.conf";
        const std::string command = "for p in $(ip netns pids rmlab-dc); do grep -qa 'task\\[ldap\\]' /proc/$p/cmdline"
            " && smbcontrol -s '" + conf + "' $p debug 'auth_audit:" + std::to_string(level)
            + "' >/dev/null 2>&1 & done; wait";
        (void)!std::system(command.c_str());
    }
    std::string log_;
    std::size_t start_ = 0;
};

// The realm's Kerberos servers unreachable, as a forged DNS answer could
// make them, for this process and the programs it starts.
class UnreachableKdc {
public:
    explicit UnreachableKdc(const LabManifest& lab)
    {
        const std::string realm = lab.json["domain"]["realm"];
        TempDir::write(folder_ / "krb5.conf", "[libdefaults]\n\tdefault_realm = " + realm
                           + "\n\tdns_lookup_kdc = false\n\tdns_lookup_realm = false\n\trdns = false\n[realms]\n\t"
                           + realm + " = {\n\t\tkdc = 127.0.0.1:1\n\t}\n");
        const char* was = std::getenv("KRB5_CONFIG");
        was_ = was ? was : "";
        ::setenv("KRB5_CONFIG", (folder_ / "krb5.conf").c_str(), 1);
    }
    ~UnreachableKdc() { ::setenv("KRB5_CONFIG", was_.c_str(), 1); }

private:
    TempDir folder_;
    std::string was_;
};

} // namespace rm
