#pragma once

#include "core/search/SearchOptions.h"
#include "gui/dialogs/SearchOptionsIds.h"
#include "core/ports/Prompter.h"
#include "gui/kit/DialogControls.h"

namespace rm {

// The logic of the search options dialog over its own copy of the settings:
// fills the controls, keeps their enable rules, and on OK refuses an empty
// domain, then an empty unit for a restricted directory scan, or stores
// every control into the copy. Texts are taken exactly as typed.
class SearchOptionsForm {
public:
    SearchOptionsForm(DialogControls& controls, Prompter& prompter, SearchOptions options);

    void initialise();
    // After every click of a method or scope radio button or of the unit check box.
    void applyEnableRules();
    // OK: true when the copy now holds the controls and the dialog may end.
    bool accept();

    const SearchOptions& options() const { return options_; }

private:
    bool refuse(const char* text, int focus);

    DialogControls& c_;
    Prompter& prompter_;
    SearchOptions options_;
};

} // namespace rm
