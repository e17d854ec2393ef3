#pragma once

#include "core/jobs/UiThread.h"
#include "core/ports/FileChooser.h"
#include "core/ports/FileReader.h"
#include "core/ports/FileWriter.h"
#include "core/ports/JournalFiles.h"
#include "core/ports/Prompter.h"
#include "core/ports/RandomSource.h"
#include "core/ports/RecordCipher.h"
#include "core/ports/Shell.h"
#include "core/ports/WaitCursor.h"
#include "core/ports/WallClock.h"
#include "core/search/SearchServices.h"

namespace rm {

// What the window needs of the platform: its boxes, file dialogs, files,
// batch journals, shell, clock, wait cursor and thread, the random source
// and cipher of generated passwords, and what a search uses.
struct WindowServices {
    Prompter& prompter;
    Shell& shell;
    FileChooser& fileChooser;
    FileWriter& fileWriter;
    FileReader& fileReader;
    RandomSource& random;
    RecordCipher& cipher; // the generated passwords' record
    JournalFiles& journals;
    WallClock& wallClock;
    WaitCursor& waitCursor;
    UiThread& ui;
    SearchServices search;
};

} // namespace rm
