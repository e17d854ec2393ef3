#pragma once

#include "core/jobs/CancelToken.h"
#include "core/jobs/Progress.h"
#include "core/search/SearchOutcome.h"
#include "core/search/SearchProgress.h"
#include "core/search/SearchRequest.h"
#include "core/search/SearchServices.h"

namespace rm {

// One search, step by step: the domain's computers, then those that give a
// sign of life, then the account on each. Each step runs on a thread of the
// face's choosing and leaves its result in the outcome, which the face reads
// between steps; a face may stop after any step.
class Search {
public:
    static constexpr std::size_t CheckThreads = 512;
    static constexpr std::size_t CheckStack = 131072;

    Search(SearchRequest request, SearchServices services);

    // The domain scan (or the listed computers). A cancel stops it between
    // its pages; what was found stays.
    void discover(Progress<SearchProgress>& progress, const CancelToken& cancel);
    // Whether the liveness step is to run: asked for, and something found.
    bool wantsLiveness() const;
    // Drops the computers that give no sign of life. A cancel keeps what is
    // known so far (a cancelled ping round drops those not heard from yet).
    void dropSilent(Progress<SearchProgress>& progress, const CancelToken& cancel);
    // Checks every computer left, up to 512 at once, and reduces the list to
    // the accounts found. After a cancel the list stays as it was.
    void check(Progress<SearchProgress>& progress, const CancelToken& cancel);

    const SearchRequest& request() const { return request_; }
    const SearchOutcome& outcome() const { return outcome_; }

private:
    SearchRequest request_;
    SearchServices s_;
    SearchOutcome outcome_;
};

// The whole search on the calling thread: every step that applies, in order.
SearchOutcome search(SearchRequest request, SearchServices services, Progress<SearchProgress>& progress,
                     const CancelToken& cancel);

} // namespace rm
