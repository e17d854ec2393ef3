#pragma once

#include <QString>
#include <QWidget>

#include <string>

namespace rm {

// Registers the dialog font, as the program does at start.
void prepareGuiTest();
// Renders a window into the build's screenshot folder, for a reviewer to look at.
QString saveScreenshot(QWidget* window, const QString& name);
// Renders a written HTML report (its file's bytes, one per character) with
// Qt's own rich-text engine (QTextDocument) into the screenshot folder.
QString saveRenderedPage(const std::string& fileBytes, const QString& name);
// The child control named by its template identifier.
template <class T = QWidget>
T* control(QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QString::number(id));
}
// A click near the left edge: a check box or radio button takes clicks on
// its mark and caption only.
void click(QWidget* dialog, int id);
// Replaces an edit's text by typing, as a user does.
void retype(QWidget* dialog, int id, const QString& text);

} // namespace rm
