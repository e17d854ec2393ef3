#include "gui/kit/CredentialsDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rm {

CredentialsDialog::CredentialsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Network Credentials");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel("No Kerberos ticket was found. Enter the account Rostermill is to use on the network.");
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    account_ = new QLineEdit;
    account_->setObjectName("account");
    account_->setPlaceholderText("DOMAIN\\user or user@REALM");
    password_ = new QLineEdit;
    password_->setObjectName("password");
    password_->setEchoMode(QLineEdit::Password);
    form->addRow("&User:", account_);
    form->addRow("&Password:", password_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(account_, &QLineEdit::textChanged, ok, [ok](const QString& t) { ok->setEnabled(!t.isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string CredentialsDialog::account() const
{
    return account_->text().toStdString();
}

Secret CredentialsDialog::password() const
{
    return Secret(password_->text().toStdString());
}

bool CredentialsDialog::ask(std::string& account, Secret& password)
{
    CredentialsDialog dialog(QApplication::activeModalWidget());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    account = dialog.account();
    password = dialog.password();
    dialog.password_->clear();
    return true;
}

} // namespace rm
