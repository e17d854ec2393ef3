#include "accountsearch/CResultsDialog.h"

#include <QAbstractButton>

namespace rm {

CResultsDialog::CResultsDialog(const SearchSummary& summary, Exporter exporter, QWidget* parent)
    : CTemplateDialog(145, parent), summary_(summary), exporter_(std::move(exporter))
{
    setText(1071, std::to_string(summary.totalFound));
    setText(1072, std::to_string(summary.offline));
    setText(1073, std::to_string(summary.notExist));
    if (summary.offline == 0 && summary.notExist == 0)
        setEnabled(1068, false);
    setText(1053, std::to_string(summary.totalFound - summary.notExist - summary.offline));
    if (summary.groupMode)
        setText(1074, "Group is empty:");
    const std::pair<int, Export> buttons[] = {
        {1069, Export::AllComputers}, {1068, Export::NotMatched}, {1070, Export::Matched}};
    for (const auto& [id, kind] : buttons)
        connect(itemAs<QAbstractButton>(id), &QAbstractButton::clicked, this, [this, kind = kind] {
            if (exporter_)
                exporter_(kind, summary_, this);
        });
}

} // namespace rm
