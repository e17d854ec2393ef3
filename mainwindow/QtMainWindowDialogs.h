#pragma once

#include "mainwindow/MainWindowDialogs.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

class QWidget;

namespace rm {

// The real dialogs, run modally over the main window.
class QtMainWindowDialogs : public MainWindowDialogs {
public:
    QtMainWindowDialogs(QWidget* owner, Shell& shell, Prompter& prompter);

    bool runSearchOptions(SearchOptions& options) override;
    bool runPasswordOptions(PasswordOptions& options) override;
    void runAbout() override;

private:
    QWidget* owner_;
    Shell& shell_;
    Prompter& prompter_;
};

} // namespace rm
