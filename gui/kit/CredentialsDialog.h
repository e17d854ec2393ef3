#pragma once

#include "core/ports/Secret.h"

#include <QDialog>

class QLineEdit;

namespace rm {

// Asks once per run for the account the program acts as on the network,
// when there is no Kerberos ticket to act with.
class CredentialsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CredentialsDialog(QWidget* parent = nullptr);

    std::string account() const;
    Secret password() const;
    // The dialog run modally; false when cancelled.
    static bool ask(std::string& account, Secret& password);

private:
    QLineEdit* account_;
    QLineEdit* password_;
};

} // namespace rm
