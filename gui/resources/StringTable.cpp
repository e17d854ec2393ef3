#include "gui/resources/StringTable.h"

namespace rm {

std::string loadString(int id)
{
    switch (id) {
    case IdsAboutMenuItem:
        return "&About Korvane Rostermill...";
    case IdsApplicationTitle:
        return "Rostermill";
    default:
        return {};
    }
}

} // namespace rm
