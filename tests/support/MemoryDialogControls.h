#pragma once

#include "gui/kit/DialogControls.h"

#include <map>
#include <set>
#include <vector>

namespace rm {

// Controls as plain state, for dialog logic without a window (a program
// without one, and the tests). Radio buttons of one declared group exclude
// one another. Texts are wiped when the controls go: one may be a password.
class MemoryDialogControls : public DialogControls {
public:
    struct State {
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool visible = true;
        bool allSelected = false;
    };

    explicit MemoryDialogControls(std::vector<std::set<int>> radioGroups = {});
    ~MemoryDialogControls() override;
    MemoryDialogControls(const MemoryDialogControls&) = delete;
    MemoryDialogControls& operator=(const MemoryDialogControls&) = delete;

    std::string text(int id) const override;
    void setText(int id, const std::string& text) override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isEnabled(int id) const override;
    void setEnabled(int id, bool enabled) override;
    void setVisible(int id, bool visible) override;
    void setFocus(int id) override;
    void selectAllText(int id) override;

    std::map<int, State> controls;
    int focus = 0;

private:
    std::vector<std::set<int>> radioGroups_;
};

} // namespace rm
