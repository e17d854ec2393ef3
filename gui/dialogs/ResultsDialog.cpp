#include "gui/dialogs/ResultsDialog.h"

#include "gui/dialogs/ResultsDialogIds.h"

#include <QAbstractButton>

namespace rm {

ResultsDialog::ResultsDialog(const SearchCounts& counts, AccountKind kind, Exporter exporter, QWidget* parent)
    : TemplateDialog(IddResults, parent), exporter_(std::move(exporter))
{
    setText(IdTotalFound, std::to_string(counts.totalFound));
    setText(IdOfflineCount, std::to_string(counts.offline));
    setText(IdNotExistCount, std::to_string(counts.notExist));
    if (counts.offline == 0 && counts.notExist == 0)
        setEnabled(IdExportNotMatched, false);
    setText(IdMatchedCount, std::to_string(counts.matched()));
    if (kind == AccountKind::Group)
        setText(IdNotExistLabel, "Group is empty:");
    const std::pair<int, ResultsExport> buttons[] = {{IdExportAll, ResultsExport::AllComputers},
                                                     {IdExportNotMatched, ResultsExport::NotMatched},
                                                     {IdExportMatched, ResultsExport::Matched}};
    for (const auto& [id, kind] : buttons)
        connect(itemAs<QAbstractButton>(id), &QAbstractButton::clicked, this, [this, kind = kind] {
            if (exporter_)
                exporter_(kind);
        });
}

} // namespace rm
