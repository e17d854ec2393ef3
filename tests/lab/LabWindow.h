#pragma once

#include "adapters/qt/QtFileChooser.h"
#include "adapters/qt/QtPrompter.h"
#include "adapters/qt/QtUiThread.h"
#include "adapters/qt/QtWaitCursor.h"
#include "app/Adapters.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/Doubles.h"
#include "support/LabManifest.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace rm {

// The program's main window over the adapters the program itself makes
// (the helper pool, the directory, ICMP, the settings file given, the real
// message boxes and save dialogs), except the shell, which only records what
// it was asked to open. While a command runs, the modal windows it opens are
// answered: message boxes Yes to the questions, No to "View ... now?" and OK
// otherwise; save dialogs with the next of `saveAs`; other dialogs by the
// handler given for their template number, else in the default way.
class LabWindow {
public:
    struct Box {
        QString title, text;
    };
    using Handler = std::function<void(QWidget* modal)>;

    // With `ticketOnly` the operator's Kerberos ticket is all it has: asked
    // for credentials, it gives none and notes that it was asked.
    explicit LabWindow(const std::filesystem::path& settingsFile, bool ticketOnly = false);
    // Members announce themselves to the master browser within seconds to
    // minutes of starting: waits until its list has them all and `more`.
    static void waitForTheBrowseList(const LabManifest& lab, const std::vector<std::string>& more);
    ~LabWindow();

    MainWindow& window() { return *window_; }
    RegistryFileStore& profile() { return *adapters_.profile; }
    FakeShell& shell() { return shell_; }

    // Clicks a control of the main window and serves its modal windows until
    // the command has returned.
    void click(int id);
    // Types into the account field and picks the mode.
    void setAccount(const QString& name, bool groupMode);
    // The rows and the boxes shown, for a failure's message.
    QString report();
    // Every row's six cells.
    std::vector<std::vector<std::string>> rows();
    // The names in the list.
    std::vector<std::string> names();

    // Runs `action` once on the template's next dialog (instead of the default
    // way on); it is not run while the dialog is still being set up.
    void once(int templateId, Handler action);
    std::vector<Box> boxes;
    std::vector<std::filesystem::path> saveAs;
    std::vector<QString> seen; // the templates of the dialogs shown, in order
    bool credentialsAsked = false;

private:
    void serve();

    Adapters adapters_;
    QtPrompter prompter_;
    FakeShell shell_;
    QtFileChooser fileChooser_;
    QtWaitCursor waitCursor_;
    QtUiThread ui_;
    std::unique_ptr<MainWindow> window_;
    QTimer poll_;
    std::map<int, Handler> once_;
    std::vector<QPointer<QWidget>> handled_; // a box at a freed one's address is new
};

// The lab's members that hold `user`, by the manifest, leaving out those
// that refuse the operator.
std::set<std::string> membersWithUser(const LabManifest& lab, const std::string& user);
// helpdesk back as the lab made it on the members that hold it (its name,
// enabled, the operator's password), also where a batch renamed it rmtest.
bool restoreHelpdesk(const LabManifest& lab);

} // namespace rm
