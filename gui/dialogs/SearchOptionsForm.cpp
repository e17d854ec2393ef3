#include "gui/dialogs/SearchOptionsForm.h"

namespace rm {

SearchOptionsForm::SearchOptionsForm(DialogControls& controls, Prompter& prompter, SearchOptions options)
    : c_(controls), prompter_(prompter), options_(std::move(options))
{
}

void SearchOptionsForm::initialise()
{
    c_.setVisible(IdScanDomain, true);
    c_.setVisible(IdDomainChoice, false);
    c_.setText(IdScanDomain, options_.domain);
    c_.setText(IdOrgUnit, options_.orgUnit);
    c_.setChecked(IdRestrictToUnit, options_.restrictToOrgUnit);
    c_.setChecked(IdScanHidden, options_.scanHidden);
    c_.setChecked(IdPingScan, options_.pingScan);
    // A stored method other than the two selects neither.
    if (options_.method == DiscoveryMethod::BrowseList)
        c_.setChecked(IdBrowseListMethod, true);
    else if (options_.method == DiscoveryMethod::Directory)
        c_.setChecked(IdDirectoryMethod, true);
    c_.setChecked(options_.serversOnly ? IdServersOnly : IdAllComputers, true);
    applyEnableRules();
}

void SearchOptionsForm::applyEnableRules()
{
    // As the domain scan reads them: a unit only for the directory, hidden
    // computers neither for servers only nor for a restricted directory scan.
    // A disabled check box keeps its mark.
    const bool directory = c_.isChecked(IdDirectoryMethod);
    const bool restricted = directory && c_.isChecked(IdRestrictToUnit);
    c_.setEnabled(IdRestrictToUnit, directory);
    c_.setEnabled(IdOrgUnit, restricted);
    c_.setEnabled(IdScanHidden, c_.isChecked(IdAllComputers) && !restricted);
    c_.setEnabled(IdScanDomain, true);
    c_.setEnabled(IdPingScan, true);
}

bool SearchOptionsForm::refuse(const char* text, int focus)
{
    prompter_.show({"Error", text, MessageButtons::Ok, MessageIcon::Exclamation});
    c_.setFocus(focus);
    return false;
}

bool SearchOptionsForm::accept()
{
    const std::string domain = c_.text(IdScanDomain);
    if (domain.empty())
        return refuse("You must enter a domain name.", IdScanDomain);
    const std::string unit = c_.text(IdOrgUnit);
    if (c_.isChecked(IdRestrictToUnit) && c_.isChecked(IdDirectoryMethod) && unit.empty())
        return refuse("You must enter an organizational unit if you wish to restrict the scan.", IdOrgUnit);
    options_.domain = domain;
    options_.orgUnit = unit;
    options_.scanHidden = c_.isChecked(IdScanHidden);
    options_.pingScan = c_.isChecked(IdPingScan);
    options_.restrictToOrgUnit = c_.isChecked(IdRestrictToUnit);
    options_.method = c_.isChecked(IdBrowseListMethod) ? DiscoveryMethod::BrowseList : DiscoveryMethod::Directory;
    options_.serversOnly = c_.isChecked(IdServersOnly);
    return true;
}

} // namespace rm
