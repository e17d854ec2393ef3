#include "adapters/netapi/HelperAnswers.h"

#include "core/ports/ServerName.h"
#include "helper/HelperProtocol.h"

namespace rm {
namespace {

// The first number of an answer is the call's status.
NetStatus statusOf(WireReader& in)
{
    std::uint32_t status = 0;
    return in.number(status) ? static_cast<NetStatus>(status) : NetStatus::CallFailed;
}

template <class Item, class Fill>
NetStatus readList(const std::string& answer, std::vector<Item>& out, Fill fill)
{
    out.clear();
    WireReader in(answer);
    const NetStatus status = statusOf(in);
    std::uint32_t count = 0;
    if (!in.number(count))
        return NetStatus::CallFailed;
    for (std::uint32_t i = 0; i < count; ++i) {
        Item item;
        if (!fill(in, item)) {
            out.clear();
            return NetStatus::CallFailed;
        }
        out.push_back(std::move(item));
    }
    return status;
}

} // namespace

NetStatus readUserAnswer(const std::string& answer, UserAnswer& record)
{
    WireReader in(answer);
    const NetStatus status = statusOf(in);
    UserAnswer r;
    std::uint32_t privilege = 0;
    std::string homeFolder, comment, script;
    if (!in.text(r.account.name) || !in.number(r.account.passwordAgeSeconds) || !in.number(privilege)
        || !in.text(homeFolder) || !in.text(comment) || !in.number(r.flags) || !in.text(script)
        || !in.number(r.account.rid))
        return NetStatus::CallFailed;
    r.account.enabled = !(r.flags & AccountDisabled);
    if (status == NetStatus::Success)
        record = r;
    return status;
}

NetStatus readStatusAnswer(const std::string& answer)
{
    WireReader in(answer);
    return statusOf(in);
}

NetStatus readTextsAnswer(const std::string& answer, std::vector<std::string>& texts)
{
    return readList(answer, texts, [](WireReader& r, std::string& t) { return r.text(t); });
}

NetStatus readMachinesAnswer(const std::string& answer, std::vector<MachineAccount>& accounts)
{
    return readList(answer, accounts, [](WireReader& r, MachineAccount& m) {
        std::string comment;
        std::uint32_t flags = 0, rid = 0;
        return r.text(m.name) && r.text(comment) && r.number(flags) && r.number(rid) && r.number(m.nextIndex);
    });
}

NetStatus readBrowseAnswer(const std::string& answer, std::vector<BrowseEntry>& entries)
{
    return readList(answer, entries, [](WireReader& r, BrowseEntry& e) {
        std::uint32_t platform = 0;
        std::string comment;
        return r.number(platform) && r.text(e.name) && r.number(e.versionMajor) && r.number(e.versionMinor)
            && r.number(e.type) && r.text(comment);
    });
}

NetStatus readControllerAnswer(const std::string& answer, DomainController& controller)
{
    WireReader in(answer);
    const NetStatus status = statusOf(in);
    DomainController dc;
    std::string name, address, forest;
    std::uint32_t flags = 0;
    if (!in.text(name) || !in.text(address) || !in.text(dc.domain) || !in.text(forest) || !in.number(flags))
        return NetStatus::CallFailed;
    // The locator names the controller as a server, with its backslashes.
    dc.name = ServerName(name).computer();
    if (status == NetStatus::Success)
        controller = dc;
    return status;
}

} // namespace rm
