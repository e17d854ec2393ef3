#pragma once

#include <string>

namespace rm {

enum StringId { IdsAboutMenuItem = 101, IdsApplicationTitle = 57344 };

// Empty text for an unknown identifier.
std::string loadString(int id);

} // namespace rm
