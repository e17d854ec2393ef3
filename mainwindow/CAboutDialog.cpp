#include "mainwindow/CAboutDialog.h"

#include "mainwindow/MainWindowIds.h"
#include "ui/CLinkLabel.h"

namespace rm {

CAboutDialog::CAboutDialog(QWidget* parent, Shell& shell, Prompter& prompter)
    : CTemplateDialog(IddAbout, parent)
{
    // Modal frame without a system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());

    // Everything but the two links stands on white.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    web_ = subclassItem<CLinkLabel>(IdWebLink);
    mail_ = subclassItem<CLinkLabel>(IdMailLink);
    for (CLinkLabel* link : {web_, mail_})
        link->attach(shell, prompter);
    web_->setTarget(WebAddress);
    mail_->setTarget(MailAddress);
}

} // namespace rm
