#pragma once

#include "platform/FileChooser.h"
#include "platform/FileWriter.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "platform/WallClock.h"

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
