#pragma once

#include "gui/dialogs/PasswordOptionsForm.h"
#include "gui/kit/TemplateDialog.h"

namespace rm {

// "Random Password Options": edits the main window's password record.
class PasswordOptionsDialog : public TemplateDialog {
    Q_OBJECT
public:
    PasswordOptionsDialog(PasswordOptions& record, PasswordOptionsForm::Services services, QWidget* parent);

public slots:
    void accept() override;

private:
    PasswordOptionsForm form_;
};

} // namespace rm
