#pragma once

#include "core/report/ListExports.h"
#include "core/search/SearchOutcome.h"
#include "core/search/SearchRequest.h"
#include "gui/kit/TemplateDialog.h"

#include <functional>

namespace rm {

// "Computers Found - Results": the counts of a search and an export of each group.
class ResultsDialog : public TemplateDialog {
    Q_OBJECT
public:
    // Saves one of the lists, owning its boxes by the active window: this one
    // while it runs. The buttons do nothing without it.
    using Exporter = std::function<void(ResultsExport)>;

    ResultsDialog(const SearchCounts& counts, AccountKind kind, Exporter exporter, QWidget* parent);

private:
    Exporter exporter_;
};

} // namespace rm
