#include "app/Application.h"

#include "adapters/linux/SecretsProtection.h"
#include "adapters/qt/QtFileChooser.h"
#include "adapters/qt/QtPrompter.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtUiThread.h"
#include "adapters/qt/QtWaitCursor.h"
#include "app/Adapters.h"
#include "gui/kit/CredentialsDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/QtMainWindowDialogs.h"
#include "gui/mainwindow/ReportFiles.h"
#include "gui/resources/StringTable.h"

#include <QFile>
#include <QFontDatabase>

namespace rm {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::registerDialogFont()
{
    const char* tahoma = "/usr/share/wine/fonts/tahoma.ttf";
    if (QFile::exists(tahoma))
        QFontDatabase::addApplicationFont(tahoma);
}

void Application::run()
{
    // The window's edits take new passwords at any time.
    keepSecretsFromOtherProcesses();
    // A second copy of the program starts as an independent one.
    const std::string title = loadString(IdsApplicationTitle);
    setApplicationName(QString::fromStdString(title));
    registerDialogFont();

    QtPrompter prompter;
    std::unique_ptr<Adapters> adapters;
    try {
        adapters = std::make_unique<Adapters>(CredentialsDialog::ask);
    } catch (const MissingHelper& missing) {
        prompter.show({title, "Rostermill cannot start: its network helper " + std::string(missing.what())
                                  + " is missing or cannot be run.",
                       MessageButtons::Ok, MessageIcon::Stop});
        return;
    }
    // What a batch killed part-way left, made into its log and told of as
    // soon as the window shows.
    const std::vector<FoundJournal> found =
        recoverJournals(adapters->journals, adapters->files, windowLogFolder(), adapters->wallClock.now());
    QMetaObject::invokeMethod(
        this,
        [&prompter, found] {
            for (const FoundJournal& f : found)
                prompter.show(ReportFiles::foundJournalMessage(f));
        },
        Qt::QueuedConnection);
    QtShell shell;
    QtFileChooser fileChooser;
    QtWaitCursor waitCursor;
    QtUiThread ui;
    MainWindow mainWindow({adapters->settings,
                           {prompter, shell, fileChooser, adapters->files, adapters->reader, adapters->random, adapters->cipher,
                            adapters->journals, adapters->wallClock, waitCursor, ui, adapters->search()}});
    mainWindow.exec();
}

} // namespace rm
