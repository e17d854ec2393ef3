#pragma once

#include "adapters/gpg/GpgmeRecordCipher.h"
#include "adapters/ldap/OpenLdapDirectory.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/GetrandomSource.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/NetworkIdentity.h"
#include "adapters/linux/PosixFileReader.h"
#include "adapters/linux/PosixFileWriter.h"
#include "adapters/linux/PosixJournalFiles.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "adapters/linux/SystemWallClock.h"
#include "adapters/netapi/NetApiClient.h"
#include "adapters/netapi/TcpPortProbe.h"
#include "app/CredentialsFanOut.h"
#include "core/search/SearchServices.h"
#include "settings/RegistryFileStore.h"
#include "settings/SettingsStore.h"

#include <memory>
#include <stdexcept>

namespace rm {

// The network helper cannot be found or run: the programs cannot start.
class MissingHelper : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The Linux adapters of both programs, made once, in one place: the
// settings, the network (the helper pool and the directory, with the
// identity that hands them credentials), threads, clocks, names, ICMP,
// files and the record cipher. The face says how credentials are asked for.
class Adapters {
public:
    // Throws MissingHelper. The settings are the user's own unless a
    // profile is given.
    Adapters(NetworkIdentity::AskCredentials ask, bool askFirst = false,
             std::unique_ptr<RegistryFileStore> profile = nullptr);

    SearchServices search();

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
    PosixJournalFiles journals;
    SystemWallClock wallClock;
    PosixFileReader reader;
    GetrandomSource random;
    GpgmeRecordCipher cipher;
};

// The helper by its absolute path, never through the current folder.
// Throws MissingHelper naming it.
std::string helperPath();

} // namespace rm
