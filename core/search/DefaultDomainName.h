#pragma once

#include "core/ports/CurrentIdentity.h"
#include "core/jobs/Worker.h"

#include <string>

namespace rm {

// The DNS name of the running user's domain, else its NetBIOS name, else empty.
std::string defaultDomainName(CurrentIdentity& identity);

// defaultDomainName on a thread of its own, since it may wait on the
// network; its end message says the name is there.
class DefaultDomainLookup : public Worker {
public:
    DefaultDomainLookup(CurrentIdentity& identity, int endMessage) : Worker(endMessage), identity_(identity) {}
    // Read once the lookup has finished.
    const std::string& domain() const { return domain_; }

protected:
    void run() override
    {
        domain_ = defaultDomainName(identity_);
        finish();
    }

private:
    CurrentIdentity& identity_;
    std::string domain_;
};

} // namespace rm
