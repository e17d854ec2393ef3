#pragma once

#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "settings/SettingsStore.h"
#include "support/ClearRecordCipher.h"
#include "support/FakeSearchServices.h"
#include "support/ManualUiThread.h"
#include "support/MemoryComputerList.h"
#include "support/MemoryDialogControls.h"
#include "support/MemoryProfileStore.h"
#include "support/RecordingDialogs.h"
#include "support/ReportDoubles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rm {

// The main window's controller without a window: controls, list and settings
// in memory, its modal windows recorded, and its searches and batches run on
// the test's thread by the core over a network of doubles.
class MainWindowFixture : public ::testing::Test {
protected:
    MemoryDialogControls controls{
        {{IdUserMode, IdGroupMode, IdBuiltinAdminMode}, {IdKeepEnabledState, IdEnableAccount, IdDisableAccount}}};
    MemoryComputerList list;
    MemoryProfileStore profile;
    SettingsStore settings{profile};
    ScriptedPrompter prompter;
    FakeSearchServices net;
    RecordingDialogs dialogs{net.network};
    CountingWaitCursor cursor;
    ManualUiThread ui;
    ManualWallClock wallClock;
    MemoryFileReader reader;
    ClearRecordCipher cipher;
    MainWindowController controller{
        {controls, list, settings, prompter, dialogs, net.identity, cursor, ui, wallClock, reader, cipher,
         net.services()}};

    // A computer of the domain's browse list.
    void listed(const std::string& name, bool server = true)
    {
        net.network.browseEntries.push_back({name, server ? BrowseType::ServerNt : BrowseType::Nt, 10, 0});
    }
    // A local user of a computer.
    FakeNetwork::Account& account(const std::string& computer, const std::string& user, bool enabled = true,
                                  std::vector<std::string> groups = {}, std::uint32_t ageSeconds = 0)
    {
        FakeNetwork::Account& a = net.network.computers["\\\\" + computer].accounts[user];
        a.enabled = enabled;
        a.groups = std::move(groups);
        a.passwordAge = ageSeconds;
        return a;
    }
    // Rows as a search leaves them: `user` found on each computer.
    void searched(const std::vector<std::string>& computers, const std::string& user = "Administrator")
    {
        std::vector<ComputerRow> rows;
        for (const std::string& c : computers)
            rows.push_back({{c, "Server"}, AccountInfo{user, true, {"Administrators"}, 3 * 86400, 500}});
        list.setRows(rows);
        controller.setSearchDone(true);
    }
    // Rows as discovery leaves them: names and types only.
    void discovered(int n)
    {
        std::vector<ComputerRow> rows;
        for (int i = 0; i < n; ++i)
            rows.push_back({{"PC" + std::to_string(i), "Server"}, std::nullopt});
        list.setRows(rows);
    }

    std::vector<std::string> row(int i) const { return {list.rows.at(i).cells.begin(), list.rows.at(i).cells.end()}; }
    const Message& lastMessage() const { return prompter.shown.back(); }
    std::vector<std::string> titles() const
    {
        std::vector<std::string> out;
        for (const Message& m : prompter.shown)
            out.push_back(m.title);
        return out;
    }
    bool enabled(int id) const { return controls.isEnabled(id); }
    std::string stored(const char* section, const char* name) const
    {
        const auto* v = profile.value(section, name);
        return v ? std::get<std::string>(*v) : "<absent>";
    }
};

} // namespace rm
