#pragma once

namespace rm {

// The template of the results dialog.
enum ResultsDialogTemplate { IddResults = 145 };

// Controls of the results dialog.
enum ResultsDialogId {
    IdMatchedCount = 1053,
    IdExportNotMatched = 1068,
    IdExportAll = 1069,
    IdExportMatched = 1070,
    IdTotalFound = 1071,
    IdOfflineCount = 1072,
    IdNotExistCount = 1073,
    IdNotExistLabel = 1074,
};

} // namespace rm
