#include "gui/GuiTestSupport.h"

#include "app/Application.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>

namespace rm {

void prepareGuiTest()
{
    Application::registerDialogFont();
}

QString saveScreenshot(QWidget* window, const QString& name)
{
    QDir().mkpath(SCREENSHOT_DIR);
    const QString path = QString(SCREENSHOT_DIR) + "/" + name + ".png";
    window->grab().save(path);
    return path;
}

QString saveRenderedPage(const std::string& fileBytes, const QString& name)
{
    QTextDocument page;
    page.setHtml(QString::fromLatin1(fileBytes.data(), static_cast<qsizetype>(fileBytes.size())));
    page.setTextWidth(900);
    QImage image(page.size().toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    page.drawContents(&painter);
    painter.end();
    QDir().mkpath(SCREENSHOT_DIR);
    const QString path = QString(SCREENSHOT_DIR) + "/" + name + ".png";
    image.save(path);
    return path;
}

} // namespace rm
