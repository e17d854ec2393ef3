#pragma once

#include "ui/DialogControls.h"

#include <map>
#include <set>
#include <vector>

namespace rm {

// Controls as plain state, for dialog logic without a window. Radio buttons
// of one declared group exclude one another.
class FakeDialogControls : public DialogControls {
public:
    struct State {
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool visible = true;
        bool allSelected = false;
    };

    explicit FakeDialogControls(std::vector<std::set<int>> radioGroups = {});

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
