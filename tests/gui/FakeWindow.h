#pragma once

#include "adapters/qt/QtUiThread.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/WindowServices.h"
#include "settings/RegistryFileStore.h"
#include "settings/SettingsStore.h"
#include "adapters/linux/GetrandomSource.h"
#include "support/ClearRecordCipher.h"
#include "support/Doubles.h"
#include "support/FakeSearchServices.h"
#include "support/ReportDoubles.h"
#include "support/TempDir.h"

#include <QCoreApplication>

#include <memory>

namespace rm {

// What the window uses of the platform, as doubles: boxes, shell, file
// dialogs, files kept in memory, clocks, wait cursor and a network in memory.
// The window's thread is the real one.
struct FakeWindowServices {
    ScriptedPrompter prompter;
    FakeShell shell;
    ScriptedFileChooser chooser;
    RecordingFileWriter files;
    MemoryFileReader reader;
    GetrandomSource random;
    ClearRecordCipher cipher;
    MemoryJournalFiles journals;
    ManualWallClock wallClock;
    CountingWaitCursor waitCursor;
    QtUiThread ui;
    FakeSearchServices net;

    WindowServices services()
    {
        return {prompter, shell, chooser, files, reader, random, cipher, journals, wallClock, waitCursor, ui, net.services()};
    }
};

// The main window over those doubles and a settings file of its own.
struct FakeWindow {
    TempDir dir;
    RegistryFileStore profile{dir / "Rostermill.reg", "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill"};
    SettingsStore settings{profile};
    FakeWindowServices platform;

    // Shown, with `dialogs` as its modal windows. Without them it has the
    // real ones, and the About box it would open at the start is dropped.
    std::unique_ptr<MainWindow> open(MainWindowDialogs* dialogs = nullptr)
    {
        auto w = std::make_unique<MainWindow>(MainWindow::Services{settings, platform.services(), dialogs});
        if (!dialogs)
            QCoreApplication::removePostedEvents(w.get(), QEvent::MetaCall);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
};

} // namespace rm
