#pragma once

#include "core/batch/AccountOperation.h"
#include "core/batch/ActionRequest.h"
#include "core/ports/Prompter.h"

#include <optional>
#include <vector>

namespace rm {

// The titles of the two questions a request may ask.
inline constexpr const char* EmptyPasswordTitle = "Security Warning";
inline constexpr const char* ConfirmationTitle = "Perform Operation";

// The confirmation question's text for a request.
std::string confirmationText(const ActionRequest& request);

// Checks a request against the selected rows (in list order), asks what
// must be asked and, once the user confirmed, makes one operation per row,
// stamped with the time of that moment. Nothing when a check refused the
// request or the user declined; the request and the rows are not changed.
std::optional<std::vector<AccountOperation>> validateAndConfirm(const ActionRequest& request,
                                                                const std::vector<SelectedRow>& selection,
                                                                Prompter& prompter);

} // namespace rm
