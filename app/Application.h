#pragma once

#include <QApplication>

namespace rm {

// The application object: its start-up runs the whole life of the program.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Shows the main window modally; false once it has closed, so the
    // process ends.
    bool run();

    // The dialog font, where the machine has it, for every window.
    static void registerDialogFont();
};

} // namespace rm
