#pragma once

#include "gui/dialogs/SearchOptionsForm.h"
#include "gui/kit/TemplateDialog.h"

namespace rm {

// "Rostermill Search Options": edits a copy of the discovery settings.
class SearchOptionsDialog : public TemplateDialog {
    Q_OBJECT
public:
    SearchOptionsDialog(const SearchOptions& options, Prompter& prompter, QWidget* parent);

    // All seven values, to be read after the dialog ended with OK.
    const SearchOptions& options() const { return form_.options(); }

public slots:
    void accept() override;

private:
    SearchOptionsForm form_;
};

} // namespace rm
