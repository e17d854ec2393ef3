#include "app/Adapters.h"

#include "settings/ProgramProfile.h"

#include <unistd.h>

namespace rm {

std::string helperPath()
{
    const std::string helper = NetApiClient::defaultHelperPath();
    if (helper.empty() || ::access(helper.c_str(), X_OK) != 0)
        throw MissingHelper(helper.empty() ? std::string("rostermill-netapi") : helper);
    return helper;
}

Adapters::Adapters(NetworkIdentity::AskCredentials ask, bool askFirst, std::unique_ptr<RegistryFileStore> own)
    : profile(own ? std::move(own) : openProgramProfile()), settings(*profile), network({helperPath()}),
      credentials{&network, &directory}, identity(network, credentials, std::move(ask), askFirst)
{
    network.refuseNtlm(settings.loadRefuseNtlm());
}

SearchServices Adapters::search()
{
    return {network, identity, directory, resolver, icmp, probe, threads, clock};
}

} // namespace rm
