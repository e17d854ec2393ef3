#include "gui/mainwindow/MainWindow.h"

#include "gui/mainwindow/MainWindowIds.h"
#include "gui/mainwindow/QtMainWindowDialogs.h"

#include <QAbstractButton>
#include <QIcon>
#include <QHeaderView>
#include <QTableView>

namespace rm {

MainWindow::MainWindow(Services services, QWidget* parent)
    : DynamicDialog(IddMainWindow, parent),
      list_(new SortableList(itemAs<QTableView>(IdComputerList), &rows_))
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    MainWindowDialogs* dialogs = services.dialogs;
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtMainWindowDialogs>(this, services.platform);
        dialogs = ownDialogs_.get();
    }
    const WindowServices& p = services.platform;
    controller_ = std::make_unique<MainWindowController>(MainWindowController::Services{
        *this, rows_, services.settings, p.prompter, *dialogs, p.search.identity, p.waitCursor, p.ui, p.wallClock,
        p.fileReader, p.cipher, p.search});

    setUpLayout(ResizeHorizontally | ResizeVertically, ShowSizeGrip | ReducedRepainting);
    // The About item of the system menu (string 101) needs a system menu the
    // program can extend, which this platform's window frames do not offer.
    QIcon icon;
    icon.addFile(":/images/icon128.png", QSize(32, 32));
    icon.addFile(":/images/icon155.png", QSize(16, 16));
    setWindowIcon(icon);
    insertColumns();
    registerLayout();
    controller_->initialise();
    connectCommands();
    // The About box, over the window, as soon as the window runs.
    QMetaObject::invokeMethod(this, [this] { controller_->showAbout(); }, Qt::QueuedConnection);
}

MainWindow::~MainWindow() = default;

// The model brings the six columns; the list takes their widths, grid lines,
// and headings that can be dragged into another order.
void MainWindow::insertColumns()
{
    QHeaderView* header = list_->view()->horizontalHeader();
    for (int c = 0; c < static_cast<int>(ComputerTableModel::ColumnWidths.size()); ++c)
        header->resizeSection(c, ComputerTableModel::ColumnWidths[c]);
    header->setSectionsMovable(true);
    list_->view()->setShowGrid(true);
}

void MainWindow::registerLayout()
{
    using M = LayoutMode;
    const struct {
        std::initializer_list<int> ids;
        M horizontal, vertical;
    } table[] = {
        {{IdAccountFrame, IdDomain, IdAccountName}, M::Stretch, M::Fixed},
        {{IdStartSearch, IdSearchOptions}, M::Move, M::Fixed},
        {{IdLocalUserLabel, IdUserMode, IdGroupMode, IdBuiltinAdminMode}, M::Fixed, M::Fixed},
        {{IdComputerFrame, IdComputerList}, M::Stretch, M::Stretch},
        {{IdSelectionHint, IdSelectAll}, M::Fixed, M::Move},
        {{IdExportList}, M::Move, M::Move},
        {{IdActionsFrame, IdNewUserName, IdPassword, IdVerifyPassword}, M::Stretch, M::Move},
        {{IdChangePassword, IdChangeUsername, IdVerifyLabel, IdEnableLabel, IdAbout, IdKeepEnabledState,
          IdEnableAccount, IdDisableAccount, IdGenerateUnique, IdConfigure},
         M::Fixed, M::Move},
        {{IdPerform, IdQuit}, M::Move, M::Move},
    };
    for (const auto& row : table)
        for (int id : row.ids)
            addControl(id, row.horizontal, row.vertical);
}

void MainWindow::connectCommands()
{
    auto on = [this](int id, auto handler) {
        if (auto* button = itemAs<QAbstractButton>(id))
            connect(button, &QAbstractButton::clicked, this, handler);
    };
    MainWindowController& c = *controller_;
    on(IdAbout, [&c] { c.showAbout(); });
    on(IdStartSearch, [&c] { c.searchCommand(); });
    on(IdPerform, [&c] { c.performCommand(); });
    on(IdQuit, [this] { reject(); });
    for (int id : {IdChangeUsername, IdChangePassword, IdGenerateUnique, IdUserMode, IdGroupMode, IdBuiltinAdminMode})
        on(id, [&c] { c.refreshEnableRules(); });
    on(IdSearchOptions, [&c] { c.searchOptionsExchange(); });
    on(IdSelectAll, [this, &c] {
        c.selectAll();
        activateWindow();
    });
    on(IdConfigure, [&c] { c.passwordOptionsExchange(); });
    on(IdExportList, [&c] { c.exportList(); });
}

void MainWindow::reject()
{
    if (controller_->quit())
        done(QDialog::Rejected);
}

} // namespace rm
