#include "discovery/CSearchOptionsDialog.h"

#include <QAbstractButton>

namespace rm {

CSearchOptionsDialog::CSearchOptionsDialog(const SearchOptions& options, Prompter& prompter, QWidget* parent)
    : CTemplateDialog(IddSearchOptions, parent), form_(*this, prompter, options)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    for (int id : {IdBrowseListMethod, IdDirectoryMethod, IdAllComputers, IdServersOnly, IdRestrictToUnit})
        connect(itemAs<QAbstractButton>(id), &QAbstractButton::clicked, this, [this] { form_.applyEnableRules(); });
    form_.initialise();
}

void CSearchOptionsDialog::accept()
{
    if (form_.accept())
        CTemplateDialog::accept();
}

} // namespace rm
