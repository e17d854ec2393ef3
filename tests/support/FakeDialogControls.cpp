#include "support/FakeDialogControls.h"

namespace rm {

FakeDialogControls::FakeDialogControls(std::vector<std::set<int>> radioGroups)
    : radioGroups_(std::move(radioGroups))
{
}

std::string FakeDialogControls::text(int id) const
{
    auto it = controls.find(id);
    return it == controls.end() ? std::string() : it->second.text;
}

void FakeDialogControls::setText(int id, const std::string& text)
{
    controls[id].text = text;
    controls[id].allSelected = false;
}

bool FakeDialogControls::isChecked(int id) const
{
    auto it = controls.find(id);
    return it != controls.end() && it->second.checked;
}

void FakeDialogControls::setChecked(int id, bool checked)
{
    if (checked)
        for (const auto& group : radioGroups_)
            if (group.count(id))
                for (int other : group)
                    controls[other].checked = false;
    controls[id].checked = checked;
}

bool FakeDialogControls::isEnabled(int id) const
{
    auto it = controls.find(id);
    return it == controls.end() || it->second.enabled;
}

void FakeDialogControls::setEnabled(int id, bool enabled)
{
    controls[id].enabled = enabled;
}

void FakeDialogControls::setVisible(int id, bool visible)
{
    controls[id].visible = visible;
}

void FakeDialogControls::setFocus(int id)
{
    focus = id;
}

void FakeDialogControls::selectAllText(int id)
{
    controls[id].allSelected = true;
}

} // namespace rm
