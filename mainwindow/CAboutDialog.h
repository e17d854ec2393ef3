#pragma once

#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "ui/CTemplateDialog.h"

namespace rm {

class CLinkLabel;

// The About box: picture, version, and links to the maker's web page and mail.
class CAboutDialog : public CTemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* WebAddress = "https://www.korvane.example/rostermill";
    static constexpr const char* MailAddress = "mailto:rostermill@korvane.example";

    CAboutDialog(QWidget* parent, Shell& shell, Prompter& prompter);

    CLinkLabel* webLink() const { return web_; }
    CLinkLabel* mailLink() const { return mail_; }

private:
    CLinkLabel* web_;
    CLinkLabel* mail_;
};

} // namespace rm
