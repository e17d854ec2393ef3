#include "mainwindow/CAboutDialog.h"

#include "ui/CLinkLabel.h"

namespace rm {

CAboutDialog::CAboutDialog(QWidget* parent, Shell& shell, Prompter& prompter)
    : CTemplateDialog(100, parent)
{
    // Modal frame without a system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());

    // Everything but the two links stands on white.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    web_ = subclassItem<CLinkLabel>(1037);
    mail_ = subclassItem<CLinkLabel>(1038);
    for (CLinkLabel* link : {web_, mail_})
        link->attach(shell, prompter);
    web_->setTarget(WebAddress);
    mail_->setTarget(MailAddress);
}

} // namespace rm
