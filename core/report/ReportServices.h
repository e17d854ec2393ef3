#pragma once

#include "core/ports/FileChooser.h"
#include "core/ports/FileWriter.h"
#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "core/ports/WallClock.h"

namespace rm {

// What a report needs of its owner window and the platform: the save dialog,
// the boxes, the file, the shell and the clock.
struct ReportServices {
    Prompter& prompter;
    FileChooser& chooser;
    FileWriter& files;
    Shell& shell;
    WallClock& clock;
};

} // namespace rm
