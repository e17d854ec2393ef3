#include "app/Application.h"

#include "settings/SettingsStore.h"
#include "gui/mainwindow/MainWindow.h"
#include "settings/RegistryFileStore.h"
#include "core/ports/CredentialsFanOut.h"
#include "adapters/ldap/OpenLdapDirectory.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/NetworkIdentity.h"
#include "adapters/linux/PosixFileWriter.h"
#include "adapters/linux/PosixThreads.h"
#include "adapters/linux/SystemWallClock.h"
#include "adapters/qt/QtWaitCursor.h"
#include "gui/kit/CredentialsDialog.h"
#include "adapters/qt/QtFileChooser.h"
#include "adapters/qt/QtPrompter.h"
#include "adapters/qt/QtShell.h"
#include "adapters/netapi/NetApiClient.h"
#include "gui/resources/StringTable.h"

#include <QFile>
#include <QFontDatabase>

#include <unistd.h>

namespace rm {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::registerDialogFont()
{
    const char* tahoma = "/usr/share/wine/fonts/tahoma.ttf";
    if (QFile::exists(tahoma))
        QFontDatabase::addApplicationFont(tahoma);
}

bool Application::run()
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
    const std::string helper = NetApiClient::defaultHelperPath();
    if (helper.empty() || ::access(helper.c_str(), X_OK) != 0) {
        const std::string shown = helper.empty() ? std::string("rostermill-netapi") : helper;
        prompter.show({title, "Rostermill cannot start: its network helper " + shown + " is missing or cannot be run.",
                       MessageButtons::Ok, MessageIcon::Stop});
        return false;
    }
    NetApiClient network({helper});
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

    MainWindow mainWindow({settings,
                            {prompter, shell, identity, network, directory, threads, clock, waitCursor, fileChooser,
                             fileWriter, wallClock, resolver, icmp}});
    mainWindow.exec();
    return false;
}

} // namespace rm
