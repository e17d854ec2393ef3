#pragma once

#include "gui/kit/DynamicDialog.h"
#include "gui/kit/SortableList.h"
#include "gui/mainwindow/ComputerTableModel.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/WindowServices.h"

#include <memory>

namespace rm {

// The main window: shows the controls of template 132 and forwards every
// command to its controller.
class MainWindow : public DynamicDialog {
    Q_OBJECT
public:
    struct Services {
        SettingsStore& settings;
        WindowServices platform;
        MainWindowDialogs* dialogs = nullptr; // the real dialogs when not given
    };

    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindowController& controller() { return *controller_; }
    ComputerList& computerList() { return rows_; }

public slots:
    // Escape, the close box and Quit all come here: the quit procedure.
    void reject() override;

private:
    void insertColumns();
    void registerLayout();
    void connectCommands();

    ComputerTableModel rows_;
    SortableList* list_; // owned by the list view it is attached to
    std::unique_ptr<MainWindowDialogs> ownDialogs_;
    std::unique_ptr<MainWindowController> controller_;
};

} // namespace rm
