#include "core/search/DomainScanWorker.h"

#include "core/search/ComputerTypeText.h"
#include "core/search/DirectoryScan.h"
#include "core/ports/Text.h"

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

DomainScanWorker::DomainScanWorker(std::string domain, SearchOptions options, Services services)
    : domain_(std::move(domain)), options_(std::move(options)), s_(services)
{
}

void DomainScanWorker::finishWithMessage(const Message& message)
{
    setFinished();
    ask(message);
}

void DomainScanWorker::scanDirectory(const std::string& dnsName, std::string& controllerName)
{
    const SearchOptions& o = options_;
    const std::string canonical = o.RestrictToOrgUnit ? dnsName + "/" + o.OrgUnit : dnsName;
    for (const DirectoryComputer& record : directoryScan(s_.directory, canonical, &cancelFlag())) {
        const ComputerType type = directoryTypeText(record);
        if (!o.ServersOnly || type.server)
            computers_.push_back({record.name, type.text});
    }
    if (!o.ScanHidden || o.RestrictToOrgUnit)
        return;
    DOMAIN_CONTROLLER_INFO dc;
    if (s_.network.DsGetDcName(dnsName, DS_RETURN_FLAT_NAME, dc) != NERR_Success)
        return;
    controllerName = dc.DomainControllerName.size() >= 2 ? dc.DomainControllerName.substr(2) : std::string();
    // Only the leading word: "Server (WinServer 2003)" must not become
    // "Server (PDC) (WinServer (PDC) 2003)".
    if (FoundComputer* c = findByName(computers_, controllerName); c && c->type.rfind("Server", 0) == 0)
        c->type.replace(0, 6, "Server (PDC)");
}

void DomainScanWorker::scanBrowseList(const std::string& flatName, std::string& controllerName)
{
    std::vector<SERVER_INFO_101> servers;
    const NetStatus status = s_.network.NetServerEnum(flatName, SV_TYPE_ALL, servers);
    if (status != NERR_Success && status != ERROR_MORE_DATA)
        return;
    for (const SERVER_INFO_101& e : servers) {
        const ComputerType type = browseTypeText(e.sv101_type, e.sv101_version_major, e.sv101_version_minor);
        if (!options_.ServersOnly || type.server)
            computers_.push_back({e.sv101_name, type.text});
        if (e.sv101_type & SV_TYPE_DOMAIN_CTRL)
            controllerName = e.sv101_name;
    }
}

void DomainScanWorker::scanHidden(const std::string& controllerName)
{
    // Names compare ignoring case, against the whole list, this scan's additions included.
    std::unordered_set<std::string> listed;
    for (const FoundComputer& c : computers_)
        listed.insert(folded(c.name));
    std::unordered_set<std::string> seen;
    std::uint32_t index = 0;
    int pagesWithNothingNew = 0;
    NetStatus status;
    do {
        if (cancelRequested())
            return;
        std::vector<NET_DISPLAY_MACHINE> page;
        status = s_.network.NetQueryDisplayInformation("\\\\" + controllerName, index, 1000, page);
        if (status != NERR_Success && status != ERROR_MORE_DATA) {
            s_.out << "Error: " << status << "\n";
            return;
        }
        bool somethingNew = false;
        for (const NET_DISPLAY_MACHINE& m : page) {
            std::string name = m.usri2_name;
            if (name.find('$') != std::string::npos)
                name.pop_back();
            somethingNew |= seen.insert(m.usri2_name).second;
            if (listed.insert(folded(name)).second)
                computers_.push_back({name, "Unknown (Hidden)"});
            index = m.usri2_next_index;
        }
        pagesWithNothingNew = somethingNew ? 0 : pagesWithNothingNew + 1;
    } while (status == ERROR_MORE_DATA && pagesWithNothingNew < MaxPagesWithNothingNew);
}

void DomainScanWorker::run()
{
    const SearchOptions& o = options_;
    std::string flatName = s_.identity.dnsToFlatDomainName(domain_);
    std::string dnsName = s_.identity.flatToDnsDomainName(domain_);
    const bool directory = o.ScanType == 1;
    if (flatName.empty() && dnsName.empty()) {
        if (directory) {
            finishWithMessage({"Error",
                               "The specified domain does not appear to support Active Directory, so an LDAP "
                               "scan cannot be performed.  Please double-check the settings in Search Options.",
                               MessageButtons::Ok, MessageIcon::Exclamation});
            finish();
            return;
        }
        flatName = domain_;
    } else if (dnsName.empty()) {
        dnsName = domain_;
    } else if (flatName.empty()) {
        flatName = domain_;
    }

    std::string controllerName;
    showWaitCursor(true);
    if (directory)
        scanDirectory(dnsName, controllerName);
    else
        scanBrowseList(flatName, controllerName);
    showWaitCursor(false);

    if (o.ScanHidden && !o.ServersOnly && !(o.RestrictToOrgUnit && o.ScanType != 0)) {
        if (controllerName.empty()) {
            // Nothing is added after this, so the list is final for a cancel that ends the dialog meanwhile.
            setFinished();
            if (!computers_.empty())
                ask({"Partial Failure", "Cannot scan for hidden computers; no PDC found.", MessageButtons::Ok,
                     MessageIcon::Exclamation});
        } else {
            scanHidden(controllerName);
        }
    }
    finish();
}

} // namespace rm
