#pragma once

#include "core/ports/NetStatus.h"
#include "core/ports/NetworkManagement.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rm {

// The helper's answers as the program reads them. The helper is another
// process and may be broken: an answer that does not read is
// NetStatus::CallFailed, never more than its bytes. Each returns the status
// the helper answered, else CallFailed; a record is set only with Success,
// a list is cleared first and left empty when the answer does not read.

// The platform's account flag that the program reads and changes.
constexpr std::uint32_t AccountDisabled = 0x0002;

// UserGetInfo and UserGetInfoByRid: the platform's level-1 record, of which the program keeps
// the name, the password's age, the flags and the identifier.
struct UserAnswer {
    UserAccount account;
    std::uint32_t flags = 0;
};
NetStatus readUserAnswer(const std::string& answer, UserAnswer& record);
// The calls that answer only a status.
NetStatus readStatusAnswer(const std::string& answer);
// UserGetLocalGroups and LocalGroupGetMembers.
NetStatus readTextsAnswer(const std::string& answer, std::vector<std::string>& texts);
// QueryDisplayMachines: a page of machine accounts, Success or MoreData.
NetStatus readMachinesAnswer(const std::string& answer, std::vector<MachineAccount>& accounts);
// ServerEnum.
NetStatus readBrowseAnswer(const std::string& answer, std::vector<BrowseEntry>& entries);
// GetDcName: the controller without its backslashes.
NetStatus readControllerAnswer(const std::string& answer, DomainController& controller);

} // namespace rm
