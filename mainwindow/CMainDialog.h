#pragma once

#include "accountsearch/CColumnSortList.h"
#include "mainwindow/ComputerTableModel.h"
#include "mainwindow/MainWindowSettings.h"
#include "mainwindow/MainWindowController.h"
#include "mainwindow/QtMainWindowDialogs.h"
#include "platform/CurrentIdentity.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "platform/qt/QtPoster.h"
#include "report/ReportServices.h"
#include "ui/CDynamicDialog.h"
#include "ui/QtWorkerWait.h"

#include <memory>

namespace rm {

// The main window: shows the controls of template 132 and forwards every
// command to its controller.
class CMainDialog : public CDynamicDialog {
    Q_OBJECT
public:
    struct Services {
        MainWindowSettings& settings;
        DialogServices platform;
        MainWindowDialogs* dialogs = nullptr; // the real dialogs when not given
    };

    explicit CMainDialog(Services services, QWidget* parent = nullptr);
    ~CMainDialog() override;

    MainWindowController& controller() { return *controller_; }
    ComputerList& computerList() { return rows_; }

public slots:
    // Escape, the close box and Quit all come here: the quit procedure.
    void reject() override;

protected:
    void customEvent(QEvent* event) override;

private:
    void insertColumns();
    void registerLayout();
    void connectCommands();

    ComputerTableModel rows_;
    CColumnSortList* list_; // owned by the list view it is attached to
    QtPoster poster_;
    QtWorkerWait wait_;
    std::unique_ptr<MainWindowDialogs> ownDialogs_;
    std::unique_ptr<MainWindowController> controller_;
    ReportServices reports_;
};

} // namespace rm
