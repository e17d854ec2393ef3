// The program's side of the channel: one answer of arbitrary bytes read as
// each call's answer. A walk over the answer's layout tells whether it
// reads; a reader must then give the status it carries and take every text
// and number from its place, and otherwise leave no list and no record.
#include "adapters/netapi/HelperAnswers.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace rm;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A position in the answer that moves past what it checks.
class Walk {
public:
    explicit Walk(const std::string& bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    NetStatus status() const { return static_cast<NetStatus>(numberAt(0)); }

    std::uint32_t number()
    {
        if (!ok_ || bytes_.size() - at_ < 4) {
            ok_ = false;
            return 0;
        }
        at_ += 4;
        return numberAt(at_ - 4);
    }
    std::string text()
    {
        const std::uint32_t n = number();
        if (!ok_ || bytes_.size() - at_ < n) {
            ok_ = false;
            return {};
        }
        at_ += n;
        return bytes_.substr(at_ - n, n);
    }

private:
    std::uint32_t numberAt(std::size_t at) const
    {
        std::uint32_t n = 0;
        for (int i = 0; i < 4; ++i)
            n |= std::uint32_t(static_cast<unsigned char>(bytes_[at + i])) << (8 * i);
        return n;
    }

    const std::string& bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// Whether a reader's status is the one the walk expects.
void checkStatus(const Walk& w, NetStatus status)
{
    check(status == (w.ok() ? w.status() : NetStatus::CallFailed));
}

void checkUser(const std::string& answer)
{
    UserAnswer record;
    record.account.name = "(unset)";
    const NetStatus status = readUserAnswer(answer, record);
    Walk w(answer);
    w.number();
    const std::string name = w.text();
    const std::uint32_t age = w.number();
    w.number(), w.text(), w.text();
    const std::uint32_t flags = w.number();
    w.text();
    const std::uint32_t rid = w.number();
    checkStatus(w, status);
    if (status != NetStatus::Success) {
        check(record.account.name == "(unset)");
        return;
    }
    check(record.account.name == name && record.account.passwordAgeSeconds == age && record.flags == flags
          && record.account.rid == rid && record.account.enabled == !(flags & AccountDisabled));
}

// A list: the status, a count, then the items. `walk` takes one item off
// the walk, `same` tells whether the reader's item is the one walked.
template <class Item, class Read, class WalkItem, class Same>
void checkList(const std::string& answer, Read read, WalkItem walk, Same same)
{
    std::vector<Item> items(1);
    const NetStatus status = read(answer, items);
    Walk w(answer);
    w.number();
    const std::uint32_t count = w.number();
    std::vector<Item> walked;
    for (std::uint32_t i = 0; w.ok() && i < count; ++i)
        walked.push_back(walk(w));
    checkStatus(w, status);
    if (!w.ok()) {
        check(items.empty());
        return;
    }
    check(items.size() == count);
    for (std::size_t i = 0; i < items.size(); ++i)
        check(same(items[i], walked[i]));
}

void checkController(const std::string& answer)
{
    DomainController dc{"(unset)", "(unset)"};
    const NetStatus status = readControllerAnswer(answer, dc);
    Walk w(answer);
    w.number();
    const std::string name = w.text();
    w.text();
    const std::string domain = w.text();
    w.text(), w.number();
    checkStatus(w, status);
    if (status != NetStatus::Success) {
        check(dc.name == "(unset)" && dc.domain == "(unset)");
        return;
    }
    // The controller's name without two leading backslashes.
    check((name.starts_with("\\\\") ? "\\\\" + dc.name : dc.name) == name && dc.domain == domain);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string answer(reinterpret_cast<const char*>(data), size);
    checkUser(answer);
    checkList<std::string>(
        answer, readTextsAnswer, [](Walk& w) { return w.text(); },
        [](const std::string& a, const std::string& b) { return a == b; });
    // name, comment, flags, identifier, next index
    checkList<MachineAccount>(
        answer, readMachinesAnswer,
        [](Walk& w) {
            MachineAccount m;
            m.name = w.text();
            w.text(), w.number(), w.number();
            m.nextIndex = w.number();
            return m;
        },
        [](const MachineAccount& a, const MachineAccount& b) { return a.name == b.name && a.nextIndex == b.nextIndex; });
    // platform, name, major, minor, type, comment
    checkList<BrowseEntry>(
        answer, readBrowseAnswer,
        [](Walk& w) {
            BrowseEntry e;
            w.number();
            e.name = w.text();
            e.versionMajor = w.number(), e.versionMinor = w.number(), e.type = w.number();
            w.text();
            return e;
        },
        [](const BrowseEntry& a, const BrowseEntry& b) {
            return a.name == b.name && a.versionMajor == b.versionMajor && a.versionMinor == b.versionMinor
                && a.type == b.type;
        });
    checkController(answer);
    Walk w(answer);
    w.number();
    checkStatus(w, readStatusAnswer(answer));
    return 0;
}
