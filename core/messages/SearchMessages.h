#pragma once

#include "core/ports/Prompter.h"
#include "core/search/SearchOutcome.h"
#include "core/search/SearchRequest.h"

#include <optional>
#include <string>

namespace rm {

// What a search tells the user, worded once for both faces.
Message clearListQuestion();
Message noAccountNameError(AccountKind kind);
Message noComputersFound();
Message searchCancelled(AccountKind kind, const std::string& account);
Message allComputersRemoved(AccountKind kind, const std::string& account);
// Nothing where the step has nothing to say.
std::optional<Message> discoveryNoticeMessage(DiscoveryNotice notice);
// Why the directory was not read when the password bind is off; `howToAllow`
// is the face's own way to turn it on.
std::string simpleBindOffText(const std::string& howToAllow);
std::optional<Message> livenessFailureMessage(LivenessFailure failure);

} // namespace rm
