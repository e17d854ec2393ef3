#pragma once

#include "core/passwords/PasswordOptions.h"
#include "gui/dialogs/PasswordOptionsIds.h"
#include "gui/kit/DialogControls.h"

namespace rm {

// The logic of the password options dialog: it fills the controls from the
// record, keeps the characters and bits fields in step, and stores the
// controls back on OK. The strength in bits leads; `updating` guards each
// programmatic write against the other field's change notification.
class PasswordOptionsForm {
public:
    PasswordOptionsForm(DialogControls& controls, PasswordOptions& record);

    void initialise();
    PasswordOptions readControls() const;
    void refreshControls();
    // Change notifications of the two length fields.
    void bitsChanged();
    void charactersChanged();
    // OK: every field but GenerateUnique goes into the record.
    void store();

private:
    DialogControls& c_;
    PasswordOptions& record_;
    bool updating_ = false;
};

// The leading decimal digits of a text, 0 when there are none; past the
// 32-bit range the value stops at its limit.
std::int32_t leadingNumber(const std::string& text);

} // namespace rm
