#pragma once

#include "gui/mainwindow/MainWindowDialogs.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/Poster.h"
#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "core/ports/WaitCursor.h"
#include "core/jobs/Worker.h"

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rm {

// Answers message boxes from a script and keeps every box it was shown.
class ScriptedPrompter : public Prompter {
public:
    MessageAnswer show(const Message& message) override
    {
        shown.push_back(message);
        if (answers.empty())
            return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
        MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void beep() override { ++beeps; }

    std::deque<MessageAnswer> answers;
    std::vector<Message> shown;
    int beeps = 0;
};

class RecordingPoster : public Poster {
public:
    struct Post {
        int message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    // Workers post from their threads; read the posts once they have ended.
    void post(int message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        std::lock_guard lock(mutex_);
        posts.push_back({message, wParam, lParam});
    }
    bool hasPosted(int message)
    {
        std::lock_guard lock(mutex_);
        for (const Post& p : posts)
            if (p.message == message)
                return true;
        return false;
    }
    std::vector<Post> posts;

private:
    std::mutex mutex_;
};

// The window thread's wait without a window: sleeps until the flag is set.
class SleepingWait : public WorkerWait {
public:
    void waitFor(const std::atomic<bool>& flag) override
    {
        while (!flag.load(std::memory_order_acquire))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

class FakeIdentity : public CurrentIdentity {
public:
    bool ensureCredentials() override
    {
        ++credentialsAsked;
        return true;
    }
    bool currentUserDomain(std::string& u, std::string& d) override
    {
        ++lookups;
        if (onLookup)
            onLookup();
        u = user;
        d = domain;
        return known;
    }
    std::string dnsToFlatDomainName(const std::string&) override { return flat; }
    std::string flatToDnsDomainName(const std::string&) override { return dns; }

    bool known = false;
    std::string user, domain, flat, dns;
    std::atomic<int> lookups{0};
    std::atomic<int> credentialsAsked{0};
    std::function<void()> onLookup;

    void reset()
    {
        known = false;
        user.clear(), domain.clear(), flat.clear(), dns.clear();
        lookups = 0;
        credentialsAsked = 0;
        onLookup = nullptr;
    }
};

// Opens nothing; answers with a fixed shell result.
class FakeShell : public Shell {
public:
    int open(const std::string& target) override
    {
        opened.push_back(target);
        return result;
    }
    int result = 42;
    std::vector<std::string> opened;
};

// Option dialogs that end as scripted, changing the record they are given.
class RecordingDialogs : public MainWindowDialogs {
public:
    // Keeps what it was shown, then edits the record whatever the answer,
    // as a dialog may before it is cancelled.
    bool runSearchOptions(SearchOptions& o) override
    {
        ++searchOptionsRuns;
        searchOptionsShown = o;
        if (editSearchOptions)
            editSearchOptions(o);
        return searchOptionsOk;
    }
    bool runPasswordOptions(PasswordOptions& o) override
    {
        ++passwordOptionsRuns;
        if (passwordOptionsOk && editPasswordOptions)
            editPasswordOptions(o);
        return passwordOptionsOk;
    }
    void runAbout() override { ++aboutRuns; }
    std::vector<FoundComputer> runDomainScan(const std::string& domain, const SearchOptions&) override
    {
        scannedDomains.push_back(domain);
        return discovered;
    }
    PingScanOutcome runPingScan(const std::vector<std::string>& names) override
    {
        pinged.push_back(names);
        return ping;
    }
    std::optional<std::vector<AccountCheckResult>> runAccountSearch(const std::vector<std::string>& names,
                                                                    const std::string& account, bool group) override
    {
        searchedNames = names;
        searchedAccount = account;
        searchedGroupMode = group;
        ++accountSearchRuns;
        return accountResults;
    }
    void runResults(const SearchSummary& s) override { summaries.push_back(s); }
    // Keeps the operations it was given, then fills them in as scripted.
    void runOperations(std::vector<AccountOperation>& operations) override
    {
        batches.push_back(operations);
        if (onOperations)
            onOperations(operations);
    }

    std::function<void(SearchOptions&)> editSearchOptions;
    SearchOptions searchOptionsShown;
    std::function<void(PasswordOptions&)> editPasswordOptions;
    bool searchOptionsOk = true;
    bool passwordOptionsOk = true;
    int searchOptionsRuns = 0, passwordOptionsRuns = 0, aboutRuns = 0;

    std::vector<FoundComputer> discovered;
    PingScanOutcome ping;
    std::optional<std::vector<AccountCheckResult>> accountResults = std::vector<AccountCheckResult>{};
    std::vector<std::string> scannedDomains;
    std::vector<std::vector<std::string>> pinged;
    std::vector<std::string> searchedNames;
    std::string searchedAccount;
    bool searchedGroupMode = false;
    int accountSearchRuns = 0;
    std::vector<SearchSummary> summaries;
    void writeActivityLog(const std::vector<AccountOperation>& operations) override { logged.push_back(operations); }
    std::vector<std::vector<AccountOperation>> batches;
    std::vector<std::vector<AccountOperation>> logged;
    std::function<void(std::vector<AccountOperation>&)> onOperations;
};

// Counts how the wait cursor was set and balanced.
class CountingWaitCursor : public WaitCursor {
public:
    void begin() override { ++depth, ++begun; }
    void end() override { --depth; }
    int depth = 0, begun = 0;
};

// A window for a worker without one: it keeps what was posted and does what
// the worker asks at once, on the worker's thread. Read the posts after the
// worker has ended.
class ServingPoster : public RecordingPoster {
public:
    ServingPoster(Prompter& prompter, WaitCursor& cursor) : prompter_(prompter), cursor_(cursor) {}
    void post(int message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        if (!Worker::serveRequest(message, wParam, lParam, prompter_, cursor_))
            RecordingPoster::post(message, wParam, lParam);
    }

private:
    Prompter& prompter_;
    WaitCursor& cursor_;
};

} // namespace rm
