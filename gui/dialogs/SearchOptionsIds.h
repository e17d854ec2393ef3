#pragma once

namespace rm {

// The template of the search options dialog.
enum SearchOptionsTemplate { IddSearchOptions = 152 };

// Controls of the search options dialog.
enum SearchOptionsId {
    IdScanDomain = 1001,
    IdDomainChoice = 1097, // hidden for good
    IdAllComputers = 336,
    IdServersOnly = 337,
    IdBrowseListMethod = 2131,
    IdDirectoryMethod = 2132,
    IdRestrictToUnit = 1089,
    IdOrgUnit = 1091,
    IdScanHidden = 1046,
    IdPingScan = 1059,
};

} // namespace rm
