#pragma once

#include "passwords/PasswordOptionsForm.h"
#include "ui/CTemplateDialog.h"

namespace rm {

// "Random Password Options": edits the main window's password record.
class CPasswordOptionsDialog : public CTemplateDialog {
    Q_OBJECT
public:
    CPasswordOptionsDialog(PasswordOptions& record, QWidget* parent);

public slots:
    void accept() override;

private:
    PasswordOptionsForm form_;
};

} // namespace rm
