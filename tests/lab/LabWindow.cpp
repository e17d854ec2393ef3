#include "LabWindow.h"

#include "gui/mainwindow/MainWindowIds.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace rm {
namespace {

// Later, from the event loop: what it does may open a modal window of its own.
void later(QWidget* target, std::function<void()> action)
{
    QMetaObject::invokeMethod(target, std::move(action), Qt::QueuedConnection);
}

} // namespace

LabWindow::LabWindow(const std::filesystem::path& settingsFile, bool ticketOnly)
    : adapters_(
          [this, ticketOnly](std::string& account, Secret& password) {
              credentialsAsked = true;
              const LabManifest lab = LabManifest::load();
              account = lab.operatorAccount();
              password = Secret::copyOf(lab.operatorPassword());
              return !ticketOnly;
          },
          false,
          std::make_unique<RegistryFileStore>(settingsFile, "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill"))
{
    // Most members are no domain members: without a ticket the operator
    // signs in when asked, and the typed credentials reach the directory too.
    (void)!std::system("kdestroy -q 2>/dev/null");
    if (ticketOnly && !LabManifest::load().kinitOperator())
        qWarning("no ticket for the operator");
    window_ = std::make_unique<MainWindow>(MainWindow::Services{
        adapters_.settings,
        {prompter_, shell_, fileChooser_, adapters_.files, adapters_.reader, adapters_.random, adapters_.cipher, adapters_.journals,
         adapters_.wallClock, waitCursor_, ui_,
         adapters_.search()}});
    QCoreApplication::removePostedEvents(window_.get(), QEvent::MetaCall); // no About box
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_.get()))
        qWarning("the main window was not shown");
    QObject::connect(&poll_, &QTimer::timeout, [this] { serve(); });
}

void LabWindow::waitForTheBrowseList(const LabManifest& lab, const std::vector<std::string>& more)
{
    NetApiClient network({HELPER_PATH, 1, 1, std::chrono::milliseconds(30000)});
    network.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    std::set<std::string> wanted(more.begin(), more.end());
    for (const auto& m : lab.json["members"])
        if (m["browse"] != "none")
            wanted.insert(m["name"].get<std::string>());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::vector<BrowseEntry> entries;
        std::set<std::string> listed;
        if (network.browseList(lab.json["domain"]["netbios"], entries) == NetStatus::Success)
            for (const BrowseEntry& e : entries)
                listed.insert(e.name);
        if (std::includes(listed.begin(), listed.end(), wanted.begin(), wanted.end()))
            return;
        QTest::qWait(3000);
    }
}

LabWindow::~LabWindow()
{
    window_->computerList().setRows({}); // no quit question
}

void LabWindow::click(int id)
{
    poll_.start(20);
    QTest::mouseClick(window_->findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
    poll_.stop();
}

void LabWindow::setAccount(const QString& name, bool groupMode)
{
    window_->findChild<QRadioButton*>(QString::number(groupMode ? IdGroupMode : IdUserMode))->click();
    window_->findChild<QLineEdit*>(QString::number(IdAccountName))->setText(name);
}

std::vector<std::vector<std::string>> LabWindow::rows()
{
    std::vector<std::vector<std::string>> out;
    ComputerList& list = window_->computerList();
    for (int r = 0; r < list.rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < 6; ++c)
            row.push_back(list.cellText(r, c));
        out.push_back(row);
    }
    return out;
}

QString LabWindow::report()
{
    QString text = "rows:";
    for (const auto& row : rows())
        text += "\n  " + QString::fromStdString(row[0] + " | " + row[1] + " | " + row[2] + " | " + row[3]);
    text += "\nboxes:";
    for (const Box& b : boxes)
        text += "\n  " + b.title + ": " + b.text;
    return text;
}

std::vector<std::string> LabWindow::names()
{
    std::vector<std::string> out;
    for (const auto& row : rows())
        out.push_back(row[0]);
    std::sort(out.begin(), out.end());
    return out;
}

void LabWindow::once(int templateId, Handler action)
{
    once_[templateId] = std::move(action);
}

void LabWindow::serve()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || std::find(handled_.begin(), handled_.end(), modal) != handled_.end())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        handled_.push_back(box);
        const Box shown{box->windowTitle(), box->text()};
        boxes.push_back(shown);
        QMessageBox::StandardButton button = QMessageBox::Ok;
        if (box->button(QMessageBox::Yes))
            button = shown.text.contains("now?") ? QMessageBox::No : QMessageBox::Yes;
        later(box, [box, button] { box->button(button)->click(); });
        return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        handled_.push_back(files);
        const std::filesystem::path path = saveAs.empty() ? std::filesystem::path() : saveAs.front();
        if (!saveAs.empty())
            saveAs.erase(saveAs.begin());
        later(files, [files, path] {
            if (path.empty())
                return files->reject();
            // Typed, as a user would: the dialog takes a typed path as it stands.
            files->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path.string()));
            static_cast<QDialog*>(files)->accept();
        });
        return;
    }
    bool isNumber = false;
    const int templateId = modal->objectName().toInt(&isNumber);
    if (!isNumber)
        return;
    // Progress dialogs close by themselves; the results dialog goes on with
    // Continue, the status dialog with View Log once it is enabled.
    auto it = once_.find(templateId);
    QPushButton* button = nullptr;
    if (it == once_.end() && templateId == 145)
        button = modal->findChild<QPushButton*>("1");
    if (it == once_.end() && templateId == 131) {
        button = modal->findChild<QPushButton*>("1");
        if (!button->isEnabled())
            return;
    }
    if (it == once_.end() && !button) {
        if (seen.empty() || seen.back() != modal->objectName())
            seen.push_back(modal->objectName());
        return;
    }
    handled_.push_back(modal);
    seen.push_back(modal->objectName());
    if (it != once_.end()) {
        Handler action = std::move(it->second);
        once_.erase(it);
        later(modal, [modal, action] { action(modal); });
    } else {
        later(modal, [button] { button->click(); });
    }
}

std::set<std::string> membersWithUser(const LabManifest& lab, const std::string& user)
{
    std::set<std::string> names;
    for (const char* kind : {"members", "joinedMembers"})
        for (const auto& m : lab.json[kind])
            if (!m.value("refusesOperator", false))
                for (const auto& u : m["users"])
                    if (u["name"] == user)
                        names.insert(m["name"]);
    return names;
}

bool restoreHelpdesk(const LabManifest& lab)
{
    NetApiClient net({HELPER_PATH, 1, 1, std::chrono::milliseconds(30000)});
    net.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    bool restored = true;
    for (const std::string& pc : membersWithUser(lab, "helpdesk")) {
        const ServerName server(pc);
        UserAccount account;
        if (net.getUser(server, "helpdesk", account) != NetStatus::Success
            && (net.rename(server, "rmtest", "helpdesk") != NetStatus::Success
                || net.getUser(server, "helpdesk", account) != NetStatus::Success)) {
            restored = false;
            continue;
        }
        restored = net.setEnabled(server, "helpdesk", true) == NetStatus::Success
                   && net.setPassword(server, "helpdesk", Secret::copyOf(lab.operatorPassword())) == NetStatus::Success
                   && restored;
    }
    return restored;
}

} // namespace rm
