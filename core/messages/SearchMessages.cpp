#include "core/messages/SearchMessages.h"

namespace rm {

namespace {

// What was searched for, where it has no one name.
const std::string BuiltinAdministratorText = "the built-in administrator account (any name)";

} // namespace

Message clearListQuestion()
{
    return {"Clear List?", "Clear the machine list and repopulate?", MessageButtons::YesNo, MessageIcon::Question};
}

Message noAccountNameError(AccountKind kind)
{
    return {"Error",
            kind == AccountKind::Group ? "You must specify a local group to search for."
                                       : "You must specify a username to search for.",
            MessageButtons::Ok, MessageIcon::Exclamation};
}

Message noComputersFound()
{
    return {"Failure", "No computers found. Verify the domain name, and that you have access.", MessageButtons::Ok,
            MessageIcon::Exclamation};
}

Message searchCancelled(AccountKind kind, const std::string& account)
{
    const std::string what =
        kind == AccountKind::BuiltinAdministrator ? BuiltinAdministratorText : "\"" + account + "\"";
    return {"Operation cancelled", "The search for " + what + " was cancelled.", MessageButtons::Ok,
            MessageIcon::Information};
}

Message allComputersRemoved(AccountKind kind, const std::string& account)
{
    std::string found;
    switch (kind) {
    case AccountKind::User:
        found = "The username \"" + account + "\" was not found on any machine.";
        break;
    case AccountKind::Group:
        found = "Local group \"" + account + "\" was empty on all machines.";
        break;
    case AccountKind::BuiltinAdministrator:
        found = "No machine has " + BuiltinAdministratorText + ".";
        break;
    }
    return {"All Computers Removed",
            found + " All computers have been removed from the list. You must repopulate the list.",
            MessageButtons::Ok, MessageIcon::Information};
}

std::optional<Message> discoveryNoticeMessage(DiscoveryNotice notice)
{
    switch (notice) {
    case DiscoveryNotice::NoDirectory:
        return Message{"Error",
                       "The specified domain does not appear to support Active Directory, so an LDAP scan cannot be "
                       "performed.  Please double-check the settings in Search Options.",
                       MessageButtons::Ok, MessageIcon::Exclamation};
    case DiscoveryNotice::NoControllerForHidden:
        return Message{"Partial Failure", "Cannot scan for hidden computers; no PDC found.", MessageButtons::Ok,
                       MessageIcon::Exclamation};
    case DiscoveryNotice::SimpleBindOff:
        return Message{"Error", simpleBindOffText("set \"AllowSimpleBind\"=dword:00000001 under Search Options in the "
                                                  "settings file (~/.config/Korvane/Rostermill.reg)"),
                       MessageButtons::Ok, MessageIcon::Exclamation};
    case DiscoveryNotice::DirectoryNotTrusted:
        return Message{"Error",
                       "No directory server of this domain proved its name with a trusted certificate, so the "
                       "password was not sent and an LDAP scan cannot be performed. The certificate's authority "
                       "must be in the system's trust store, or in TLS_CACERT of /etc/ldap/ldap.conf.",
                       MessageButtons::Ok, MessageIcon::Exclamation};
    case DiscoveryNotice::None:
        break;
    }
    return std::nullopt;
}

std::string simpleBindOffText(const std::string& howToAllow)
{
    return "Kerberos cannot be used to sign in to the directory of this domain, and signing in there with the "
           "password (a simple bind over verified TLS) is turned off, so an LDAP scan cannot be performed. To "
           "allow it, " + howToAllow + ".";
}

std::optional<Message> livenessFailureMessage(LivenessFailure failure)
{
    const char* text = nullptr;
    switch (failure) {
    case LivenessFailure::ResolutionCancelled:
        text = "Hostname resolution was aborted. No machines have been removed.";
        break;
    case LivenessFailure::NoIcmpSocket:
        text = "Unable to perform ping scan for active machines:\n\nYou do not have raw-socket privledges on this "
               "machine.\n\nThe ping scan is used to eliminate machines that are offline.\nCheck your system "
               "policies to enable raw-socket access,\nand re-run the scan.\n\nNo machines have been removed.";
        break;
    case LivenessFailure::None:
        return std::nullopt;
    }
    return Message{"Error", text, MessageButtons::Ok, MessageIcon::Information};
}

} // namespace rm
