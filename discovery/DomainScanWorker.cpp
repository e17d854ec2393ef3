#include "discovery/DomainScanWorker.h"

#include "platform/Text.h"
#include "discovery/ComputerTypeText.h"

namespace rm {
namespace {

FoundComputer* findByName(std::vector<FoundComputer>& computers, const std::string& name)
{
    for (FoundComputer& c : computers)
        if (equalsIgnoringCase(c.name, name))
            return &c;
    return nullptr;
}

void finishWithMessage(DomainScanState& state, DomainScanServices& s, const Message& message)
{
    state.finished.store(true, std::memory_order_release);
    s.prompter.show(message);
}

void scanDirectory(const std::string& dnsName, const SearchOptions& o, DomainScanState& state,
                   DomainScanServices& s, std::string& controllerName)
{
    const std::string canonical = o.RestrictToOrgUnit ? dnsName + "/" + o.OrgUnit : dnsName;
    for (const DirectoryComputer& record : s.directory.directoryScan(canonical)) {
        const ComputerType type = directoryTypeText(record);
        if (!o.ServersOnly || type.server)
            state.computers.push_back({record.name, type.text});
    }
    if (!o.ScanHidden || o.RestrictToOrgUnit)
        return;
    DOMAIN_CONTROLLER_INFO dc;
    if (s.network.DsGetDcName(dnsName, DS_RETURN_FLAT_NAME, dc) != NERR_Success)
        return;
    controllerName = dc.DomainControllerName.size() >= 2 ? dc.DomainControllerName.substr(2) : std::string();
    // Only the leading word: "Server (WinServer 2003)" must not become
    // "Server (PDC) (WinServer (PDC) 2003)".
    if (FoundComputer* c = findByName(state.computers, controllerName); c && c->type.rfind("Server", 0) == 0)
        c->type.replace(0, 6, "Server (PDC)");
}

void scanBrowseList(const std::string& flatName, const SearchOptions& o, DomainScanState& state,
                    DomainScanServices& s, std::string& controllerName)
{
    std::vector<SERVER_INFO_101> servers;
    const NetStatus status = s.network.NetServerEnum(flatName, SV_TYPE_ALL, servers);
    if (status != NERR_Success && status != ERROR_MORE_DATA)
        return;
    for (const SERVER_INFO_101& e : servers) {
        const ComputerType type = browseTypeText(e.sv101_type, e.sv101_version_major, e.sv101_version_minor);
        if (!o.ServersOnly || type.server)
            state.computers.push_back({e.sv101_name, type.text});
        if (e.sv101_type & SV_TYPE_DOMAIN_CTRL)
            controllerName = e.sv101_name;
    }
}

void scanHidden(const std::string& controllerName, DomainScanState& state, DomainScanServices& s)
{
    std::uint32_t index = 0;
    NetStatus status;
    do {
        std::vector<NET_DISPLAY_MACHINE> page;
        status = s.network.NetQueryDisplayInformation("\\\\" + controllerName, index, 1000, page);
        if (status != NERR_Success && status != ERROR_MORE_DATA) {
            s.out << "Error: " << status << "\n";
            return;
        }
        for (const NET_DISPLAY_MACHINE& m : page) {
            std::string name = m.usri2_name;
            if (name.find('$') != std::string::npos)
                name.pop_back();
            if (!findByName(state.computers, name))
                state.computers.push_back({name, "Unknown (Hidden)"});
            index = m.usri2_next_index;
        }
    } while (status == ERROR_MORE_DATA);
}

} // namespace

void domainScanWorker(const std::string& domain, const SearchOptions& o, DomainScanState& state,
                      DomainScanServices& s)
{
    std::string flatName = s.identity.dnsToFlatDomainName(domain);
    std::string dnsName = s.identity.flatToDnsDomainName(domain);
    const bool directory = o.ScanType == 1;
    if (flatName.empty() && dnsName.empty()) {
        if (directory) {
            finishWithMessage(state, s,
                              {"Error",
                               "The specified domain does not appear to support Active Directory, so an LDAP "
                               "scan cannot be performed.  Please double-check the settings in Search Options.",
                               MessageButtons::Ok, MessageIcon::Exclamation});
            s.dialog.post(MessageFinished, 0, 0);
            return;
        }
        flatName = domain;
    } else if (dnsName.empty()) {
        dnsName = domain;
    } else if (flatName.empty()) {
        flatName = domain;
    }

    std::string controllerName;
    s.waitCursor.begin();
    if (directory)
        scanDirectory(dnsName, o, state, s, controllerName);
    else
        scanBrowseList(flatName, o, state, s, controllerName);
    s.waitCursor.end();

    if (o.ScanHidden && !o.ServersOnly && !(o.RestrictToOrgUnit && o.ScanType != 0)) {
        if (controllerName.empty()) {
            state.finished.store(true, std::memory_order_release);
            if (!state.computers.empty())
                s.prompter.show({"Partial Failure", "Cannot scan for hidden computers; no PDC found.",
                                 MessageButtons::Ok, MessageIcon::Exclamation});
        } else {
            scanHidden(controllerName, state, s);
        }
    }
    state.finished.store(true, std::memory_order_release);
    s.dialog.post(MessageFinished, 0, 0);
}

} // namespace rm
