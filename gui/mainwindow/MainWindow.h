#pragma once

#include "gui/kit/SortableList.h"
#include "gui/mainwindow/ComputerTableModel.h"
#include "settings/MainWindowSettings.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/QtMainWindowDialogs.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "adapters/qt/QtPoster.h"
#include "core/report/ReportServices.h"
#include "gui/kit/DynamicDialog.h"
#include "gui/kit/QtWorkerWait.h"

#include <memory>

namespace rm {

// The main window: shows the controls of template 132 and forwards every
// command to its controller.
class MainWindow : public DynamicDialog {
    Q_OBJECT
public:
    struct Services {
        MainWindowSettings& settings;
        DialogServices platform;
        MainWindowDialogs* dialogs = nullptr; // the real dialogs when not given
    };

    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

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
    SortableList* list_; // owned by the list view it is attached to
    QtPoster poster_;
    QtWorkerWait wait_;
    std::unique_ptr<MainWindowDialogs> ownDialogs_;
    std::unique_ptr<MainWindowController> controller_;
    ReportServices reports_;
};

} // namespace rm
