#pragma once

#include "app/SettingsStore.h"
#include "cli/CliOptions.h"
#include "cli/LogPathShell.h"
#include "cli/NoFileChooser.h"
#include "platform/CredentialsFanOut.h"
#include "platform/ldap/OpenLdapDirectory.h"
#include "platform/linux/AddrInfoResolver.h"
#include "platform/linux/LinuxIcmpSockets.h"
#include "platform/linux/NetworkIdentity.h"
#include "platform/linux/PosixFileWriter.h"
#include "platform/linux/PosixThreads.h"
#include "platform/linux/RegistryFileStore.h"
#include "platform/linux/SystemWallClock.h"
#include "platform/samba/SambaNetworkManagement.h"
#include "platform/samba/TcpPortProbe.h"

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
    SambaNetworkManagement network;
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
