#pragma once

#include "gui/resources/DialogTemplate.h"
#include "gui/kit/DialogUnits.h"

#include <QFont>
#include <QWidget>

#include <map>

namespace rm {

// Creates a template's controls as children of a dialog, at their dialog-unit
// positions, each named by its identifier ("1003") so tests and tools find it.
class DialogBuilder {
public:
    // The template's font, or the system sans font at that size where it is missing.
    static QFont dialogFont(const DialogTemplate& dialog);
    static DialogUnits unitsFor(const QFont& font);
    // Controls with an identifier, first one wins for a repeated identifier.
    static std::multimap<int, QWidget*> build(QWidget* dialog, const DialogTemplate& source,
                                              const DialogUnits& units);
};

} // namespace rm
