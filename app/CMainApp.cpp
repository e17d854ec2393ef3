#include "app/CMainApp.h"

#include "app/SettingsStore.h"
#include "mainwindow/CMainDialog.h"
#include "platform/linux/RegistryFileStore.h"
#include "discovery/DirectoryScanner.h"
#include "platform/linux/NetworkIdentity.h"
#include "platform/linux/PosixThreads.h"
#include "platform/qt/QtWaitCursor.h"
#include "platform/qt/CCredentialsDialog.h"
#include "platform/qt/QtPrompter.h"
#include "platform/qt/QtShell.h"
#include "platform/samba/SambaNetworkManagement.h"
#include "resources/StringTable.h"

#include <QFile>
#include <QFontDatabase>

namespace rm {

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv) {}

void CMainApp::registerDialogFont()
{
    const char* tahoma = "/usr/share/wine/fonts/tahoma.ttf";
    if (QFile::exists(tahoma))
        QFontDatabase::addApplicationFont(tahoma);
}

bool CMainApp::initInstance()
{
    // No control container, 3-D look or COM set-up is needed on this platform,
    // and no named mutex either: nothing ever examined it, and a second copy
    // of the program starts as an independent one.
    const std::string title = loadString(IdsApplicationTitle);
    setApplicationName(QString::fromStdString(title));
    registerDialogFont();

    // The registry key "Korvane": every profile value lives below it.
    RegistryFileStore profile(RegistryFileStore::defaultLocation("Korvane", title),
                              "HKEY_CURRENT_USER\\Software\\Korvane\\" + title);
    SettingsStore settings(profile);
    QtPrompter prompter;
    QtShell shell;
    SambaNetworkManagement network({SambaNetworkManagement::defaultHelperPath()});
    NetworkIdentity identity(network, network, CCredentialsDialog::ask);

    EmptyDirectory directory;
    PosixThreadStarter threads;
    SteadyTickClock clock;
    QtWaitCursor waitCursor;

    CMainDialog mainWindow(
        {settings, {prompter, shell, identity, network, directory, threads, clock, waitCursor}});
    mainWindow.exec();
    return false;
}

} // namespace rm
