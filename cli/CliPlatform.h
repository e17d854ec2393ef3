#pragma once

#include "settings/SettingsStore.h"
#include "cli/CliOptions.h"
#include "cli/LogPathShell.h"
#include "cli/NoFileChooser.h"
#include "core/ports/CredentialsFanOut.h"
#include "adapters/ldap/OpenLdapDirectory.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/NetworkIdentity.h"
#include "adapters/linux/PosixFileWriter.h"
#include "adapters/linux/PosixThreads.h"
#include "settings/RegistryFileStore.h"
#include "adapters/linux/SystemWallClock.h"
#include "adapters/netapi/NetApiClient.h"
#include "adapters/netapi/TcpPortProbe.h"

#include <memory>

namespace rm {

// The real adapters, made as the window's start-up makes them. The account
// to act as is the one --as names, its password from a descriptor or the
// terminal; else the Kerberos ticket.
class CliPlatform {
public:
    // Throws UsageError when the network helper is missing.
    explicit CliPlatform(const LogonArgs& logon);

    // Credentials for the network: --as, else the ticket. Throws UsageError
    // when there are none.
    void requireCredentials();

    std::unique_ptr<RegistryFileStore> profile;
    SettingsStore settings;
    NetApiClient network;
    OpenLdapDirectory directory;
    CredentialsFanOut credentials;
    NetworkIdentity identity;
    PosixThreadStarter threads;
    SteadyTickClock clock;
    AddrInfoResolver resolver;
    LinuxIcmpSockets icmp;
    TcpPortProbe probe;
    PosixFileWriter files;
    SystemWallClock wallClock;
    LogPathShell shell;
    NoFileChooser chooser;
};

} // namespace rm
