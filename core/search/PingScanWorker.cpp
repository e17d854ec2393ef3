#include "core/search/PingScanWorker.h"

namespace rm {

const char* const PingScanWorker::ResolutionAbortedText =
    "Hostname resolution was aborted. No machines have been removed.";
const char* const PingScanWorker::NoRawSocketText =
    "Unable to perform ping scan for active machines:\n\nYou do not have raw-socket privledges on this machine.\n\n"
    "The ping scan is used to eliminate machines that are offline.\nCheck your system policies to enable raw-socket "
    "access,\nand re-run the scan.\n\nNo machines have been removed.";

PingScanWorker::PingScanWorker(std::vector<std::string> names, PingSweep::Services services)
    : names_(std::move(names)), s_(services)
{
}

void PingScanWorker::run()
{
    display_.setWindow(&window());
    PingSweep sweep(s_, display_, cancelFlag());
    PingSweep::Outcome outcome = sweep.run(names_, SilentRoundsTolerated, ReplyTimeout);
    if (auto* silent = std::get_if<std::vector<std::string>>(&outcome)) {
        removalList_ = std::move(*silent);
    } else {
        removalList_.clear();
        errorText_ = std::get<PingSweep::Abort>(outcome) == PingSweep::Abort::Cancelled ? ResolutionAbortedText
                                                                                           : NoRawSocketText;
    }
    finish();
}

} // namespace rm
