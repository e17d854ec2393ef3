#pragma once

#include <QDialog>

class QLineEdit;

namespace rm {

// Asks once per run for the account the program acts as on the network,
// when there is no Kerberos ticket to act with.
class CCredentialsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CCredentialsDialog(QWidget* parent = nullptr);

    std::string account() const;
    std::string password() const;
    // The dialog run modally; false when cancelled.
    static bool ask(std::string& account, std::string& password);

private:
    QLineEdit* account_;
    QLineEdit* password_;
};

} // namespace rm
