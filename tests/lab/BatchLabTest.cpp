// A batch from the main window against the lab: Perform and Log Actions on
// PC01's rmtest, the refusing PC05 and the offline name, through the real
// status dialog, helper pool and report writer. The list's cells, the log's
// rows and the servers' accounts are checked afterwards, and no file the run
// wrote, nor its output, holds the password it set.
#include "LabWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "gui/dialogs/OperationDialog.h"
#include "support/LabManifest.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <set>
#include <fstream>
#include <unistd.h>

namespace rm {

namespace fs = std::filesystem;

// Standard output and error go to files while it lives.
class CapturedOutput {
public:
    explicit CapturedOutput(const fs::path& folder)
    {
        std::fflush(nullptr);
        for (int fd : {1, 2}) {
            saved_[fd - 1] = ::dup(fd);
            const std::string path = (folder / (fd == 1 ? "stdout.txt" : "stderr.txt")).string();
            std::FILE* f = std::fopen(path.c_str(), "w");
            ::dup2(::fileno(f), fd);
            std::fclose(f);
        }
    }
    ~CapturedOutput()
    {
        std::fflush(nullptr);
        for (int fd : {1, 2}) {
            ::dup2(saved_[fd - 1], fd);
            ::close(saved_[fd - 1]);
        }
    }

private:
    int saved_[2];
};

// The process's environment variable, set for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class BatchLabTest : public QObject {
    Q_OBJECT

    LabManifest lab = LabManifest::load();
    std::string offline;

    struct Outcome {
        std::vector<std::vector<std::string>> cells; // the list after the batch
        std::string log;                             // the log's bytes
        std::vector<std::string> opened;
        std::vector<LabWindow::Box> shown;
        bool dialogSeen = false;
    };

    // Perform and Log Actions with the password and a disable on three rows,
    // in `folder` as the current folder.
    Outcome runBatch(const fs::path& folder, const std::string& password, const QString& screenshot)
    {
        Outcome out;
        {
            RegistryFileStore p(folder / "Rostermill.reg", "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill");
            p.writeText("Search Options", "Domain", lab.json["domain"]["netbios"]);
        }
        LabWindow w(folder / "Rostermill.reg");
        std::vector<ComputerRow> rows;
        for (const auto& [name, user] : {std::pair<std::string, std::string>{"PC01", "rmtest"},
                                         {"PC05", "Administrator"}, {offline, "rmtest"}}) {
            std::vector<std::string> groups;
            if (name == "PC05")
                groups = {"Administrators"};
            rows.push_back({{name, "Workstation"}, AccountInfo{user, true, groups, 0, 0}});
        }
        w.window().computerList().setRows(rows);
        w.window().controller().setSearchDone(true);
        w.window().controller().refreshEnableRules();
        QTest::mouseClick(control<QPushButton>(&w.window(), IdSelectAll), Qt::LeftButton);
        control<QCheckBox>(&w.window(), IdChangePassword)->click();
        control<QLineEdit>(&w.window(), IdPassword)->setText(QString::fromStdString(password));
        control<QLineEdit>(&w.window(), IdVerifyPassword)->setText(QString::fromStdString(password));
        control<QRadioButton>(&w.window(), IdDisableAccount)->click();
        w.once(131, [&](QWidget* d) {
            auto* viewLog = control<QPushButton>(d, OperationDialog::IdViewLog);
            while (!viewLog->isEnabled())
                QTest::qWait(20);
            out.dialogSeen = true;
            if (!screenshot.isEmpty())
                saveScreenshot(d, screenshot);
            viewLog->click();
        });
        w.click(IdPerform);
        out.cells = w.rows();
        out.opened = w.shell().opened;
        out.shown = w.boxes;
        if (out.opened.size() == 1) {
            std::ifstream in(folder / out.opened[0], std::ios::binary);
            out.log.assign(std::istreambuf_iterator<char>(in), {});
        }
        return out;
    }

    static NetApiClient::Settings oneHelper() { return {HELPER_PATH, 1, 1, std::chrono::milliseconds(30000)}; }

    NetStatus logOn(const std::string& password)
    {
        NetApiClient asUser(oneHelper());
        asUser.setCredentials("rmtest", Secret::copyOf(password));
        UserAccount account;
        return asUser.getUser(ServerName("PC01"), "rmtest", account);
    }

    // rmtest enabled again, and with the operator's password unless told not to.
    void restoreRmtest(bool password = true)
    {
        NetApiClient net(oneHelper());
        net.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
        QCOMPARE(net.setEnabled(ServerName("PC01"), "rmtest", true), NetStatus::Success);
        if (password)
            QCOMPARE(net.setPassword(ServerName("PC01"), "rmtest", Secret::copyOf(lab.operatorPassword())),
                     NetStatus::Success);
    }

    bool rmtestDisabled()
    {
        NetApiClient net(oneHelper());
        net.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
        UserAccount account;
        return net.getUser(ServerName("PC01"), "rmtest", account) == NetStatus::Success && !account.enabled;
    }

    static std::string row(const std::vector<std::string>& cells)
    {
        std::string text = "<TR>\r\n";
        for (const std::string& c : cells)
            text += "<TD>" + c + "</TD>\r\n";
        return text + "</TR>\r\n";
    }

    // The regular files below `root` changed since `since`, skipping what
    // cannot be read.
    static void changedFiles(const fs::path& root, fs::file_time_type since, std::set<fs::path>& out)
    {
        std::error_code ec;
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            std::error_code e;
            if (it->is_symlink(e) || !it->is_regular_file(e))
                continue;
            const auto time = it->last_write_time(e);
            if (!e && time >= since)
                out.insert(fs::canonical(it->path(), e));
        }
    }
    static bool contains(const fs::path& file, const std::string& needle)
    {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        return bytes.find(needle) != std::string::npos;
    }
    static std::string utf16le(const std::string& ascii)
    {
        std::string out;
        for (char c : ascii)
            out += c, out += '\0';
        return out;
    }

private slots:
    void initTestCase()
    {
        prepareGuiTest();
        if (!lab.available())
            QSKIP("lab not available");
        offline = lab.json["offline"]["name"];
    }
    void cleanup() { restoreRmtest(); }

    void noFileTheRunWroteHoldsThePassword()
    {
        TempDir dir;
        for (const char* sub : {"home", "config", "data", "cache", "runtime", "tmp", "cwd"})
            fs::create_directories(dir / sub);
        fs::permissions(dir / "runtime", fs::perms::owner_all);
        const auto since = fs::file_time_type::clock::now() - std::chrono::seconds(2);
        const std::string password = "Zq7-NoTrace-" + std::to_string(std::time(nullptr)) + "-x";
        const fs::path cwd = fs::current_path();
        {
            const ScopedEnv home("HOME", (dir / "home").string()), config("XDG_CONFIG_HOME", (dir / "config").string()),
                data("XDG_DATA_HOME", (dir / "data").string()), cache("XDG_CACHE_HOME", (dir / "cache").string()),
                runtime("XDG_RUNTIME_DIR", (dir / "runtime").string()), tmp("TMPDIR", (dir / "tmp").string());
            const CapturedOutput output(dir.path());
            fs::current_path(dir / "cwd");
            const Outcome out = runBatch(dir / "cwd", password, {});
            fs::current_path(cwd);
            QVERIFY(out.dialogSeen);
            QCOMPARE(out.opened.size(), std::size_t(1));
        }
        QVERIFY(rmtestDisabled()); // the batch ran
        restoreRmtest(false);
        QCOMPARE(logOn(password), NetStatus::Success); // with that very password

        // Two files that do hold it, so the search is seen to find it either way.
        std::ofstream(dir / "canary-utf8") << password;
        std::ofstream(dir / "canary-utf16le", std::ios::binary) << utf16le(password);
        std::set<fs::path> files; // the test's folder lies in /tmp: each file once
        for (const fs::path& root : {dir.path(), fs::path("/tmp"), fs::path("/var/tmp"), fs::path("/var/log"),
                                    fs::path("/dev/shm"), fs::path("/run"), fs::path("/root")})
            changedFiles(root, since, files);
        std::vector<std::string> holding;
        bool logSearched = false, outputSearched = false;
        for (const fs::path& f : files) {
            logSearched |= f.parent_path() == fs::canonical(dir / "cwd") && f.filename().string().rfind("Log ", 0) == 0;
            outputSearched |= f == fs::canonical(dir / "stdout.txt");
            if (contains(f, password) || contains(f, utf16le(password)))
                holding.push_back(f.parent_path() == fs::canonical(dir.path()) ? f.filename().string() : f.string());
        }
        QVERIFY(logSearched);
        QVERIFY(outputSearched);
        QVERIFY(files.size() > 3);
        std::sort(holding.begin(), holding.end());
        std::string names;
        for (const std::string& h : holding)
            names += h + "\n";
        QVERIFY2(holding == (std::vector<std::string>{"canary-utf16le", "canary-utf8"}), names.c_str());
    }

    void aPasswordAndADisableOnThreeComputers()
    {
        TempDir dir;
        const fs::path cwd = fs::current_path();
        fs::current_path(dir.path());
        const std::string password = "Lab-Batch-" + std::to_string(std::time(nullptr));
        const Outcome out = runBatch(dir.path(), password, "lab-operation-status");
        fs::current_path(cwd);

        QVERIFY(out.dialogSeen);
        QCOMPARE(out.shown.size(), std::size_t(1));
        QCOMPARE(out.shown[0].text,
                 QString::fromUtf8("The following actions will be performed on each selected user:\n\n"
                                   "\xC2\xB7 Change the associated password\n\xC2\xB7 Disable the account\n\n"
                                   "Do you wish to continue?"));
        // The list: only the row whose account was disabled changed.
        QCOMPARE(out.cells.size(), std::size_t(3));
        QCOMPARE(QString::fromStdString(out.cells[0][CellEnabled]), QString("No"));
        QCOMPARE(QString::fromStdString(out.cells[1][CellEnabled]), QString("Yes"));
        QCOMPARE(QString::fromStdString(out.cells[2][CellEnabled]), QString("Yes"));
        QCOMPARE(QString::fromStdString(out.cells[0][CellUser]), QString("rmtest"));

        // The log, opened from the current folder, row by row; its journal gone.
        QCOMPARE(out.opened.size(), std::size_t(1));
        for (const auto& entry : fs::directory_iterator(dir.path()))
            QVERIFY2(entry.path().extension() != ".journal", entry.path().c_str());
        QVERIFY(out.opened[0].rfind("Log ", 0) == 0);
        QVERIFY(out.log.find("<TR>\r\n<TH>Time</TH>\r\n<TH>Computer</TH>\r\n<TH>User Name</TH>\r\n<TH>Changed "
                             "Password?</TH>\r\n<TH>Account Enabled</TH>\r\n<TH>Local Groups</TH>\r\n</TR>\r\n")
                != std::string::npos);
        const std::string denied = "ERROR: The user does not have access to the requested information.";
        QVERIFY(out.log.find("</TD>\r\n<TD>PC01</TD>\r\n<TD>rmtest</TD>\r\n<TD>Yes</TD>\r\n<TD>No</TD>\r\n<TD></TD>\r\n"
                             "</TR>\r\n")
                != std::string::npos);
        QVERIFY(out.log.find("</TD>\r\n<TD>PC05</TD>\r\n<TD>Administrator</TD>\r\n<TD>" + denied + "</TD>\r\n<TD>"
                             + denied + "</TD>\r\n<TD>Administrators</TD>\r\n</TR>\r\n")
                != std::string::npos);
        const bool offlineRow =
            out.log.find("<TD>" + offline + "</TD>\r\n<TD>rmtest</TD>\r\n<TD>ERROR: Unknown error (53)</TD>\r\n"
                         "<TD>ERROR: Unknown error (53)</TD>\r\n")
                != std::string::npos
            || out.log.find("<TD>" + offline + "</TD>\r\n<TD>rmtest</TD>\r\n<TD>ERROR: Unknown error (1722)</TD>\r\n"
                            "<TD>ERROR: Unknown error (1722)</TD>\r\n")
                   != std::string::npos;
        QVERIFY2(offlineRow, out.log.c_str());
        saveRenderedPage(out.log, "lab-activity-log");

        // The server: disabled, and the new password is the one that logs on.
        QVERIFY(rmtestDisabled());
        restoreRmtest(false);
        QCOMPARE(logOn(password), NetStatus::Success);
        QCOMPARE(logOn(lab.operatorPassword()), NetStatus::LogonFailure);
        restoreRmtest();
        QCOMPARE(logOn(lab.operatorPassword()), NetStatus::Success);
    }
};

} // namespace rm

QTEST_MAIN(rm::BatchLabTest)
#include "BatchLabTest.moc"
