#include "gui/dialogs/AboutDialog.h"

#include "gui/dialogs/AboutDialogIds.h"
#include "gui/kit/LinkLabel.h"

namespace rm {

AboutDialog::AboutDialog(QWidget* parent, Shell& shell, Prompter& prompter)
    : TemplateDialog(IddAbout, parent)
{
    // Modal frame without a system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());

    // Everything but the two links stands on white.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    web_ = subclassItem<LinkLabel>(IdWebLink);
    mail_ = subclassItem<LinkLabel>(IdMailLink);
    for (LinkLabel* link : {web_, mail_})
        link->attach(shell, prompter);
    web_->setTarget(WebAddress);
    mail_->setTarget(MailAddress);
}

} // namespace rm
