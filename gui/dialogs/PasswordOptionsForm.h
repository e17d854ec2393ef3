#pragma once

#include "core/passwords/PasswordOptions.h"
#include "core/ports/FileChooser.h"
#include "core/ports/FileReader.h"
#include "gui/dialogs/PasswordOptionsIds.h"
#include "gui/kit/DialogControls.h"

#include <string>
#include <vector>

namespace rm {

// The logic of the password options dialog: it fills the controls from the
// record, keeps the characters and bits fields in step, shows the strength
// of what would be drawn, and stores the controls back on OK. The strength
// in bits leads; `updating` guards each programmatic write against the other
// field's change notification.
class PasswordOptionsForm {
public:
    // The dictionary is read when the form opens and when Browse chooses one.
    struct Services {
        FileReader& files;
        FileChooser& chooser;
    };

    PasswordOptionsForm(DialogControls& controls, PasswordOptions& record, Services services);

    void initialise();
    PasswordOptions readControls() const;
    void refreshControls();
    // Change notifications of the two length fields.
    void bitsChanged();
    void charactersChanged();
    // Browse: another dictionary, then its words.
    void browse();
    // False while what would be drawn is refused; its reason is shown.
    bool acceptable() const { return acceptable_; }
    // OK: every field but GenerateUnique goes into the record.
    void store();

private:
    void loadWords();

    DialogControls& c_;
    PasswordOptions& record_;
    Services s_;
    std::vector<std::string> words_;
    bool updating_ = false;
    bool acceptable_ = true;
};

// The leading decimal digits of a text, 0 when there are none; past the
// 32-bit range the value stops at its limit.
std::int32_t leadingNumber(const std::string& text);

} // namespace rm
