#pragma once

#include "core/ports/NetworkCredentials.h"

#include <initializer_list>
#include <vector>

namespace rm {

// Hands the account the user gives to every service that acts on the network.
class CredentialsFanOut : public NetworkCredentials {
public:
    CredentialsFanOut(std::initializer_list<NetworkCredentials*> services) : services_(services) {}
    void setCredentials(const std::string& account, const Secret& password) override
    {
        for (NetworkCredentials* s : services_)
            s->setCredentials(account, password);
    }

private:
    std::vector<NetworkCredentials*> services_;
};

} // namespace rm
