#pragma once

#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "gui/kit/TemplateDialog.h"

namespace rm {

class LinkLabel;

// The About box: picture, version, and links to the maker's web page and mail.
class AboutDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* WebAddress = "https://www.korvane.example/rostermill";
    static constexpr const char* MailAddress = "mailto:rostermill@korvane.example";

    AboutDialog(QWidget* parent, Shell& shell, Prompter& prompter);

    LinkLabel* webLink() const { return web_; }
    LinkLabel* mailLink() const { return mail_; }

private:
    LinkLabel* web_;
    LinkLabel* mail_;
};

} // namespace rm
