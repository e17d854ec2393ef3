#include "gui/dialogs/ResultsDialog.h"

#include "gui/dialogs/ResultsDialogIds.h"

#include <QAbstractButton>

namespace rm {

ResultsDialog::ResultsDialog(const SearchSummary& summary, Exporter exporter, QWidget* parent)
    : TemplateDialog(IddResults, parent), summary_(summary), exporter_(std::move(exporter))
{
    setText(IdTotalFound, std::to_string(summary.totalFound));
    setText(IdOfflineCount, std::to_string(summary.offline));
    setText(IdNotExistCount, std::to_string(summary.notExist));
    if (summary.offline == 0 && summary.notExist == 0)
        setEnabled(IdExportNotMatched, false);
    setText(IdMatchedCount, std::to_string(summary.matchedCount()));
    if (summary.groupMode)
        setText(IdNotExistLabel, "Group is empty:");
    const std::pair<int, Export> buttons[] = {{IdExportAll, Export::AllComputers},
                                              {IdExportNotMatched, Export::NotMatched},
                                              {IdExportMatched, Export::Matched}};
    for (const auto& [id, kind] : buttons)
        connect(itemAs<QAbstractButton>(id), &QAbstractButton::clicked, this, [this, kind = kind] {
            if (exporter_)
                exporter_(kind, summary_);
        });
}

} // namespace rm
