#pragma once

#include "core/search/SearchSummary.h"
#include "gui/kit/TemplateDialog.h"

#include <functional>

namespace rm {

// "Computers Found - Results": the counts of a search and an export of each group.
class ResultsDialog : public TemplateDialog {
    Q_OBJECT
public:
    using Export = ResultsExport;
    // Filled by the list exports, which own their boxes by the active window:
    // this one while it runs. The buttons do nothing without it.
    using Exporter = std::function<void(Export, const SearchSummary&)>;

    ResultsDialog(const SearchSummary& summary, Exporter exporter, QWidget* parent);

private:
    SearchSummary summary_;
    Exporter exporter_;
};

} // namespace rm
