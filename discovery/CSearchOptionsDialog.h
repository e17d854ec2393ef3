#pragma once

#include "discovery/SearchOptionsForm.h"
#include "ui/CTemplateDialog.h"

namespace rm {

// "Rostermill Search Options": edits a copy of the discovery settings.
class CSearchOptionsDialog : public CTemplateDialog {
    Q_OBJECT
public:
    CSearchOptionsDialog(const SearchOptions& options, Prompter& prompter, QWidget* parent);

    // All seven values, to be read after the dialog ended with OK.
    const SearchOptions& options() const { return form_.options(); }

public slots:
    void accept() override;

private:
    SearchOptionsForm form_;
};

} // namespace rm
