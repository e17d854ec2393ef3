// The reply rule and the ping rounds fed with arbitrary datagrams on a
// manual clock. Input: target count, which targets resolve and answer, the
// answer delay, when to cancel, then datagrams as (delay, length, flags, bytes).
#include "core/search/EchoMessage.h"
#include "core/search/PingRounds.h"
#include "support/FakeIcmp.h"

#include <cstdlib>
#include <memory>

using namespace rm;

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    bool empty() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

// The rest of the input as datagrams arriving one after the other; how many.
static std::size_t deliverTheRest(Input& in, FakeIcmp& network, std::uint32_t at, int count)
{
    std::size_t delivered = 0;
    while (!in.empty()) {
        at += in.word();
        std::vector<std::uint8_t> d(in.word() % 400);
        const std::uint8_t flags = in.byte();
        for (auto& b : d)
            b = in.byte();
        // Help the search towards marked datagrams and indices near the table.
        if ((flags & 1) && d.size() >= 36) {
            d[32] = 0x0D, d[33] = 0x10, d[34] = 0x0B, d[35] = 0x0B;
            if (flags & 2)
                d[28] = static_cast<std::uint8_t>(flags >> 2) % (count + 2), d[29] = d[30] = d[31] = 0;
        }
        network.arrive(at, std::move(d));
        ++delivered;
    }
    return delivered;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The rule alone, on a buffer of exactly this size, so a read past it is caught.
    {
        auto copy = std::make_unique<std::uint8_t[]>(size);
        std::copy(data, data + size, copy.get());
        if (auto index = echo::replyIndex(copy.get(), size))
            check(size >= 36 && echo::replyIndex(copy.get(), 36) == index);
    }

    Input in(data, size);
    const int count = 1 + in.byte() % 16;
    const std::uint16_t resolved = in.word(), answering = in.word();
    const std::uint8_t replyDelay = in.byte();
    const std::uint8_t cancelAtWait = in.byte();

    ManualClock clock;
    FakeIcmp network(clock);
    std::vector<PingTarget> targets;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t address = (resolved >> i) & 1 ? static_cast<std::uint32_t>(i + 1) : 0;
        targets.push_back({"T" + std::to_string(i), false, address});
        if ((answering >> i) & 1)
            network.answering.push_back(address);
    }
    network.delay = replyDelay * 10u;

    const std::size_t delivered = deliverTheRest(in, network, clock.ms, count);

    CancelToken cancel;
    int waits = 0;
    network.onWait = [&](std::uint32_t) {
        if (cancelAtWait && ++waits == cancelAtWait)
            cancel.cancel();
    };
    Progress<SearchProgress> progress;
    auto socket = network.open();
    PingRounds(*socket, clock, progress, cancel).run(targets, 8, 500);

    const LivenessProgress v = progress.value().liveness;
    check(v.pingsSent == static_cast<int>(network.sent.size()));
    int answered = 0;
    for (const PingTarget& t : targets)
        answered += t.answered;
    check(v.repliesReceived >= answered);
    check(v.repliesReceived <= static_cast<int>(delivered + network.sent.size()));
    for (const auto& s : network.sent) {
        check(s.address != 0);
        check(FakeIcmp::indexOf(s) < targets.size());
    }
    return 0;
}
