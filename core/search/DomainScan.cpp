#include "core/search/DomainScan.h"

#include "core/ports/Text.h"
#include "core/search/ComputerTypeText.h"
#include "core/search/DirectoryScan.h"

#include <unordered_set>

namespace rm {
namespace {

FoundComputer* findByName(std::vector<FoundComputer>& computers, const std::string& name)
{
    for (FoundComputer& c : computers)
        if (equalsIgnoringCase(c.name, name))
            return &c;
    return nullptr;
}

std::string folded(std::string name)
{
    for (char& c : name)
        c = toUpperAscii(c);
    return name;
}

} // namespace

DomainScan::DomainScan(std::string domain, SearchOptions options, Services services)
    : domain_(std::move(domain)), options_(std::move(options)), s_(services)
{
}

void DomainScan::scanDirectory(const std::string& dnsName, std::string& controllerName, const CancelToken& cancel)
{
    const SearchOptions& o = options_;
    const std::string canonical = o.restrictToOrgUnit ? dnsName + "/" + o.orgUnit : dnsName;
    BindResult bound = BindResult::Bound;
    for (const DirectoryComputer& record : directoryScan(s_.directory, canonical, &cancel, o.allowSimpleBind, &bound)) {
        const ComputerType type = directoryTypeText(record);
        if (!o.serversOnly || type.server)
            computers_.push_back({record.name, type.text});
    }
    if (bound == BindResult::SimpleBindOff)
        notice_ = DiscoveryNotice::SimpleBindOff;
    else if (bound == BindResult::ServerNotTrusted)
        notice_ = DiscoveryNotice::DirectoryNotTrusted;
    if (!o.scanHidden || o.restrictToOrgUnit)
        return;
    controllerName = locatedController(dnsName);
    // Only the leading word: "Server (WinServer 2003)" must not become
    // "Server (PDC) (WinServer (PDC) 2003)".
    if (FoundComputer* c = findByName(computers_, controllerName); c && c->type.rfind("Server", 0) == 0)
        c->type.replace(0, 6, "Server (PDC)");
}

std::string DomainScan::locatedController(const std::string& dnsName)
{
    // The domain's DNS records name its controller; a name without a dot
    // would be looked up by a broadcast anyone can answer.
    DomainController dc;
    if (dnsName.find('.') == std::string::npos
        || s_.network.domainController(dnsName, DomainNameForm::Flat, dc) != NetStatus::Success)
        return {};
    return dc.name;
}

void DomainScan::scanBrowseList(const std::string& flatName)
{
    std::vector<BrowseEntry> entries;
    const NetStatus status = s_.network.browseList(flatName, entries);
    if (status != NetStatus::Success && status != NetStatus::MoreData)
        return;
    for (const BrowseEntry& e : entries) {
        const ComputerType type = browseTypeText(e.type, e.versionMajor, e.versionMinor);
        if (!options_.serversOnly || type.server)
            computers_.push_back({e.name, type.text});
    }
}

void DomainScan::scanHidden(const std::string& controllerName, const CancelToken& cancel)
{
    // Names compare ignoring case, against the whole list, this scan's additions included.
    std::unordered_set<std::string> listed;
    for (const FoundComputer& c : computers_)
        listed.insert(folded(c.name));
    std::unordered_set<std::string> seen;
    const ServerName controller(controllerName);
    std::uint32_t index = 0;
    int pagesWithNothingNew = 0;
    NetStatus status;
    do {
        if (cancel.cancelled())
            return;
        std::vector<MachineAccount> page;
        status = s_.network.machineAccounts(controller, index, 1000, page);
        if (status != NetStatus::Success && status != NetStatus::MoreData) {
            hiddenScanFailure_ = status;
            return;
        }
        bool somethingNew = false;
        for (const MachineAccount& m : page) {
            std::string name = m.name;
            if (name.find('$') != std::string::npos)
                name.pop_back();
            somethingNew |= seen.insert(m.name).second;
            if (listed.insert(folded(name)).second)
                computers_.push_back({name, "Unknown (Hidden)"});
            index = m.nextIndex;
        }
        pagesWithNothingNew = somethingNew ? 0 : pagesWithNothingNew + 1;
    } while (status == NetStatus::MoreData && pagesWithNothingNew < MaxPagesWithNothingNew);
}

void DomainScan::run(Progress<SearchProgress>& progress, const CancelToken& cancel)
{
    const SearchOptions& o = options_;
    std::string flatName = s_.identity.dnsToFlatDomainName(domain_);
    std::string dnsName = s_.identity.flatToDnsDomainName(domain_);
    const bool directory = o.method == DiscoveryMethod::Directory;
    if (flatName.empty() && dnsName.empty()) {
        if (directory) {
            notice_ = DiscoveryNotice::NoDirectory;
            return;
        }
        flatName = domain_;
    } else if (dnsName.empty()) {
        dnsName = domain_;
    } else if (flatName.empty()) {
        flatName = domain_;
    }

    std::string controllerName;
    progress.update([](SearchProgress& p) { p.discovery.listing = true; });
    if (directory) {
        scanDirectory(dnsName, controllerName, cancel);
    } else {
        scanBrowseList(flatName);
        // Any computer may announce itself a controller in the browse list.
        if (o.scanHidden && !o.serversOnly)
            controllerName = locatedController(dnsName);
    }
    progress.update([](SearchProgress& p) { p.discovery.listing = false; });

    if (o.scanHidden && !o.serversOnly && !(o.restrictToOrgUnit && o.method != DiscoveryMethod::BrowseList)) {
        if (controllerName.empty()) {
            if (!computers_.empty())
                notice_ = DiscoveryNotice::NoControllerForHidden;
        } else {
            scanHidden(controllerName, cancel);
        }
    }
}

} // namespace rm
