#include "settings/ProgramProfile.h"

namespace rm {

std::unique_ptr<RegistryFileStore> openProgramProfile()
{
    const std::string company = "Korvane", application = "Rostermill";
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultLocation(company, application),
                                               "HKEY_CURRENT_USER\\Software\\" + company + "\\" + application);
}

} // namespace rm
