#include "support/MemoryDialogControls.h"

#include "core/ports/Wipe.h"

namespace rm {

MemoryDialogControls::MemoryDialogControls(std::vector<std::set<int>> radioGroups)
    : radioGroups_(std::move(radioGroups))
{
}

MemoryDialogControls::~MemoryDialogControls()
{
    for (auto& [id, state] : controls)
        wipe(state.text);
}

std::string MemoryDialogControls::text(int id) const
{
    auto it = controls.find(id);
    return it == controls.end() ? std::string() : it->second.text;
}

void MemoryDialogControls::setText(int id, const std::string& text)
{
    State& state = controls[id];
    wipe(state.text);
    state.text = text;
    controls[id].allSelected = false;
}

bool MemoryDialogControls::isChecked(int id) const
{
    auto it = controls.find(id);
    return it != controls.end() && it->second.checked;
}

void MemoryDialogControls::setChecked(int id, bool checked)
{
    if (checked)
        for (const auto& group : radioGroups_)
            if (group.count(id))
                for (int other : group)
                    controls[other].checked = false;
    controls[id].checked = checked;
}

bool MemoryDialogControls::isEnabled(int id) const
{
    auto it = controls.find(id);
    return it == controls.end() || it->second.enabled;
}

void MemoryDialogControls::setEnabled(int id, bool enabled)
{
    controls[id].enabled = enabled;
}

void MemoryDialogControls::setVisible(int id, bool visible)
{
    controls[id].visible = visible;
}

void MemoryDialogControls::setFocus(int id)
{
    focus = id;
}

void MemoryDialogControls::selectAllText(int id)
{
    controls[id].allSelected = true;
}

} // namespace rm
