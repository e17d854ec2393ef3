#pragma once

#include <string>

namespace rm {

// The identifiers every dialog gives its OK and Cancel buttons.
enum CommonControlId { IdOk = 1, IdCancel = 2 };

// A dialog's controls as its logic sees them, addressed by their template
// identifiers. Unknown identifiers are ignored and read as empty or false.
class DialogControls {
public:
    virtual ~DialogControls() = default;

    virtual std::string text(int id) const = 0;
    virtual void setText(int id, const std::string& text) = 0;
    virtual bool isChecked(int id) const = 0;
    // Checking a radio button clears the others of its group.
    virtual void setChecked(int id, bool checked) = 0;
    virtual bool isEnabled(int id) const = 0;
    virtual void setEnabled(int id, bool enabled) = 0;
    virtual void setVisible(int id, bool visible) = 0;
    virtual void setFocus(int id) = 0;
    // Selects an edit's whole text and scrolls the caret into view.
    virtual void selectAllText(int id) = 0;
};

} // namespace rm
