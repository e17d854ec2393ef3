#pragma once

#include "accountsearch/AccountSearch.h"
#include "platform/Prompter.h"
#include "ui/CTemplateDialog.h"

#include <memory>

namespace rm {

class QtPoster;

// "Working . . .": hosts one account search, shows its progress and the time
// left, and ends with OK when it finished or Cancel when the user cancelled.
class CSearchDialog : public CTemplateDialog {
    Q_OBJECT
public:
    struct Services {
        NetworkManagement& network;
        ThreadStarter& threads;
        TickClock& clock;
        Prompter& prompter;
    };

    CSearchDialog(std::vector<std::string> computerNames, std::string accountName, Services services,
                  QWidget* parent);
    ~CSearchDialog() override;

    void setGroupMode(bool groupMode) { search_->groupMode = groupMode; }
    const std::vector<AccountCheckResult>& results() const { return search_->results(); }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void progress(std::uint32_t done, std::uint32_t total);

    Services s_;
    std::unique_ptr<QtPoster> poster_;
    std::unique_ptr<AccountSearch> search_;
    bool started_ = false;
};

} // namespace rm
