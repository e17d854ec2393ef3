#pragma once

#include <QApplication>

namespace rm {

// The window program: the application object, whose run() is its whole life.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Shows the main window modally; returns once it has closed, so the
    // process ends.
    void run();

    // The dialog font, where the machine has it, for every window.
    static void registerDialogFont();
};

} // namespace rm
