#include "core/search/ComputerTypeText.h"

#include "core/ports/NetworkManagement.h"

namespace rm {
namespace {

std::string serverSuffix(std::uint32_t major, std::uint32_t minor)
{
    if (major == 6)
        return minor == 0 ? " (Longhorn)" : "";
    if (major == 5)
        return minor == 0 ? " (Win2K)" : minor == 2 ? " (Win2003)" : "";
    return major <= 4 ? " (WinNT)" : "";
}

std::string workstationSuffix(std::uint32_t major, std::uint32_t minor)
{
    if (major == 5)
        return minor == 0 ? " (Win2K)" : minor == 1 ? " (WinXP)" : minor == 2 ? " (WinXP 64)" : "";
    return major <= 4 ? " (WinNT)" : "";
}

std::string windows9xSuffix(std::uint32_t major, std::uint32_t minor)
{
    if (major != 4)
        return "";
    return minor == 0 ? " (Win95)" : minor == 10 ? " (Win98)" : minor == 90 ? " (WinMe)" : "";
}

void replaceAll(std::string& s, const std::string& from, const std::string& to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

} // namespace

ComputerType browseTypeText(std::uint32_t type, std::uint32_t versionMajor, std::uint32_t minor)
{
    const std::uint32_t major = versionMajor & 0x0F;
    if (type & BrowseType::DomainController)
        return {"Server (PDC)" + serverSuffix(major, minor), true};
    if (type & BrowseType::BackupController)
        return {"Server (BDC)" + serverSuffix(major, minor), true};
    if (type & BrowseType::ServerNt)
        return {"Server" + serverSuffix(major, minor), true};
    if (type & BrowseType::Nt)
        return {"Workstation" + workstationSuffix(major, minor), false};
    if (type & BrowseType::WindowsForWorkgroups)
        return {"WFW Workstation", false};
    if (type & BrowseType::Windows)
        return {"Workstation" + windows9xSuffix(major, minor), false};
    return {"Workstation", false};
}

ComputerType directoryTypeText(const DirectoryComputer& c)
{
    std::string text = c.operatingSystem;
    replaceAll(text, "Windows ", "Win");
    replaceAll(text, "2000", "2K");
    replaceAll(text, " Professional", "");
    if (text.empty())
        return {"Unknown", false};
    if (!c.operatingSystemServicePack.empty()) {
        std::string pack = c.operatingSystemServicePack;
        replaceAll(pack, "Service Pack ", "SP");
        text += " " + pack;
    }
    if (text.find("Server") != std::string::npos) {
        replaceAll(text, " Server", "");
        return {"Server (" + text + ")", true};
    }
    return {"Workstation (" + text + ")", false};
}

} // namespace rm
