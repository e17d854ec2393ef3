#include "gui/GuiTestSupport.h"

#include "app/CMainApp.h"

#include <QDir>
#include <QPixmap>

namespace rm {

void prepareGuiTest()
{
    CMainApp::registerDialogFont();
}

QString saveScreenshot(QWidget* window, const QString& name)
{
    QDir().mkpath(SCREENSHOT_DIR);
    const QString path = QString(SCREENSHOT_DIR) + "/" + name + ".png";
    window->grab().save(path);
    return path;
}

} // namespace rm
