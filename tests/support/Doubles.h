#pragma once

#include "core/ports/CurrentIdentity.h"
#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "core/ports/WaitCursor.h"

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace rm {

// Answers message boxes from a script and keeps every box it was shown.
class ScriptedPrompter : public Prompter {
public:
    MessageAnswer show(const Message& message) override
    {
        shown.push_back(message);
        if (onShow)
            onShow(message);
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
    // Called as each box is shown, e.g. to look at the window it is over.
    std::function<void(const Message&)> onShow;
};

class FakeIdentity : public CurrentIdentity {
public:
    bool ensureCredentials() override
    {
        ++credentialsAsked;
        return !onEnsure || onEnsure();
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
    // Stands in for getting credentials, e.g. by asking for them.
    std::function<bool()> onEnsure;

    void reset()
    {
        known = false;
        user.clear(), domain.clear(), flat.clear(), dns.clear();
        lookups = 0;
        credentialsAsked = 0;
        onLookup = nullptr;
        onEnsure = nullptr;
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

// Counts how the wait cursor was set and balanced.
class CountingWaitCursor : public WaitCursor {
public:
    void begin() override { ++depth, ++begun; }
    void end() override { --depth; }
    int depth = 0, begun = 0;
};

} // namespace rm
