#include "gui/dialogs/SearchOptionsDialog.h"

#include <QAbstractButton>

namespace rm {

SearchOptionsDialog::SearchOptionsDialog(const SearchOptions& options, Prompter& prompter, QWidget* parent)
    : TemplateDialog(IddSearchOptions, parent), form_(*this, prompter, options)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    for (int id : {IdBrowseListMethod, IdDirectoryMethod, IdAllComputers, IdServersOnly, IdRestrictToUnit})
        connect(itemAs<QAbstractButton>(id), &QAbstractButton::clicked, this, [this] { form_.applyEnableRules(); });
    form_.initialise();
}

void SearchOptionsDialog::accept()
{
    if (form_.accept())
        TemplateDialog::accept();
}

} // namespace rm
