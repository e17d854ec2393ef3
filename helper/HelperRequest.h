#pragma once

#include "helper/HelperProtocol.h"

#include <optional>
#include <string>
#include <vector>

namespace rm {

// A request as the helper reads it off the channel: the operation, then its
// texts and its numbers, each in the order the operation's frame holds them
// (texts before numbers for every operation):
//   SetCredentials        user, domain, password; seconds, CredentialFlags
//   UserGetInfo           server, user
//   UserGetInfoByRid      server; relative identifier
//   UserSetPassword       server, user, password
//   UserSetFlags          server, user; flags
//   UserSetName           server, user, new name
//   UserGetLocalGroups    server, user; flags
//   LocalGroupGetMembers  server, group
//   QueryDisplayMachines  server; index, count
//   ServerEnum            domain; types
//   GetDcName             domain; flags
struct HelperRequest {
    HelperOp op{};
    std::vector<std::string> texts;
    std::vector<std::uint32_t> numbers;

    // Every text may hold a password.
    void wipe();
};

// How many texts and numbers the operation takes; nothing for one the
// helper does not know.
struct RequestShape {
    std::size_t texts = 0, numbers = 0;
};
std::optional<RequestShape> requestShape(HelperOp op);

// Nothing for an unknown operation or a frame too short for its arguments;
// bytes past them are ignored.
std::optional<HelperRequest> decodeRequest(const std::string& frame);

} // namespace rm
