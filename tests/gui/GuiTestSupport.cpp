#include "gui/GuiTestSupport.h"

#include "app/Application.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QLineEdit>
#include <QTest>
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

void click(QWidget* dialog, int id)
{
    auto* button = control<QAbstractButton>(dialog, id);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void retype(QWidget* dialog, int id, const QString& text)
{
    auto* edit = control<QLineEdit>(dialog, id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace rm
