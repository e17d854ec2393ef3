#include "app/CMainApp.h"

#include "app/SettingsStore.h"
#include "mainwindow/CMainDialog.h"
#include "platform/linux/RegistryFileStore.h"
#include "platform/CredentialsFanOut.h"
#include "platform/ldap/OpenLdapDirectory.h"
#include "platform/linux/AddrInfoResolver.h"
#include "platform/linux/LinuxIcmpSockets.h"
#include "platform/linux/NetworkIdentity.h"
#include "platform/linux/PosixFileWriter.h"
#include "platform/linux/PosixThreads.h"
#include "platform/linux/SystemWallClock.h"
#include "platform/qt/QtWaitCursor.h"
#include "platform/qt/CCredentialsDialog.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtPrompter.h"
#include "platform/qt/QtShell.h"
#include "platform/samba/SambaNetworkManagement.h"
#include "resources/StringTable.h"

#include <QFile>
#include <QFontDatabase>

#include <unistd.h>

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
    // Found by absolute path only, never through the current folder.
    const std::string helper = SambaNetworkManagement::defaultHelperPath();
    if (helper.empty() || ::access(helper.c_str(), X_OK) != 0) {
        const std::string shown = helper.empty() ? std::string("rostermill-netapi") : helper;
        prompter.show({title, "Rostermill cannot start: its network helper " + shown + " is missing or cannot be run.",
                       MessageButtons::Ok, MessageIcon::Stop});
        return false;
    }
    SambaNetworkManagement network({helper});
    OpenLdapDirectory directory;
    CredentialsFanOut credentials{&network, &directory};
    NetworkIdentity identity(network, credentials, CCredentialsDialog::ask);

    PosixThreadStarter threads;
    SteadyTickClock clock;
    QtWaitCursor waitCursor;
    QtFileChooser fileChooser;
    PosixFileWriter fileWriter;
    SystemWallClock wallClock;
    AddrInfoResolver resolver;
    LinuxIcmpSockets icmp;

    CMainDialog mainWindow({settings,
                            {prompter, shell, identity, network, directory, threads, clock, waitCursor, fileChooser,
                             fileWriter, wallClock, resolver, icmp}});
    mainWindow.exec();
    return false;
}

} // namespace rm
