#include "gui/dialogs/PasswordOptionsDialog.h"

#include "gui/dialogs/PasswordOptionsIds.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace rm {

PasswordOptionsDialog::PasswordOptionsDialog(PasswordOptions& record, PasswordOptionsForm::Services services,
                                             QWidget* parent)
    : TemplateDialog(IddPasswordOptions, parent), form_(*this, record, services)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    for (int id : {IdGeneratePasswords, IdGeneratePassphrases, IdLowercase, IdUppercase, IdNumerals,
                   IdSymbols, IdNoSimilar, IdRandomCaps})
        connect(itemAs<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this] { form_.refreshControls(); });
    connect(itemAs<QAbstractButton>(IdBrowse), &QAbstractButton::clicked, this, [this] { form_.browse(); });
    // Programmatic writes notify too, as the form expects.
    connect(itemAs<QLineEdit>(IdBits), &QLineEdit::textChanged, this, [this] { form_.bitsChanged(); });
    connect(itemAs<QLineEdit>(IdCharacters), &QLineEdit::textChanged, this,
            [this] { form_.charactersChanged(); });
    form_.initialise();
}

void PasswordOptionsDialog::accept()
{
    // Besides the disabled OK: a refused recipe never reaches the record.
    if (!form_.acceptable())
        return;
    form_.store();
    TemplateDialog::accept();
}

} // namespace rm
