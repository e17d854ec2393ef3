#include "passwords/CPasswordOptionsDialog.h"

#include "passwords/PasswordOptionsIds.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace rm {

CPasswordOptionsDialog::CPasswordOptionsDialog(PasswordOptions& record, QWidget* parent)
    : CTemplateDialog(IddPasswordOptions, parent), form_(*this, record)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    for (int id : {IdGeneratePasswords, IdGeneratePassphrases, IdLowercase, IdUppercase, IdNumerals,
                   IdSymbols, IdNoSimilar, IdRandomCaps, IdBrowse})
        connect(itemAs<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this] { form_.refreshControls(); });
    // Programmatic writes notify too, as the form expects.
    connect(itemAs<QLineEdit>(IdBits), &QLineEdit::textChanged, this, [this] { form_.bitsChanged(); });
    connect(itemAs<QLineEdit>(IdCharacters), &QLineEdit::textChanged, this,
            [this] { form_.charactersChanged(); });
    form_.initialise();
}

void CPasswordOptionsDialog::accept()
{
    form_.store();
    CTemplateDialog::accept();
}

} // namespace rm
