// The reply rule and the ping rounds fed with arbitrary datagrams on a
// manual clock. Input: target count, which targets resolve and answer, the
// answer delay, when to cancel, the socket's identifier, then datagrams as
// (delay, length, shape, pick, copies, gap, bytes), let loose when the first
// request goes.
#include "core/search/EchoMessage.h"
#include "core/search/PingRounds.h"
#include "support/FakeIcmp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Says which invariant broke before the abort libFuzzer reports.
void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "invariant at PingRoundsFuzz.cpp:%d broken\n", line);
        std::abort();
    }
}

bool same(const echo::Reply& a, const echo::Reply& b)
{
    return a.source == b.source && a.identifier == b.identifier && a.sequence == b.sequence && a.index == b.index;
}

struct Datagram {
    std::uint32_t delay; // after the first request
    std::uint8_t shape, pick;
    int copies;          // more that follow, each `gap` ms after the one before: a flood
    std::uint32_t gap;
    std::vector<std::uint8_t> bytes;
};

// Shape bits that help the search towards replies that pass some checks and fail others.
enum Shape : std::uint8_t {
    Ours = 1,          // an IPv4 header of ICMP and our marker; the index picked
    EchoReply = 2,     // type 0, code 0
    FromTarget = 4,    // from the address of the target picked
    OurId = 8,         // the socket's identifier
    SentSequence = 16, // a sequence number near those sent
    Options = 32,      // a header of 24 bytes
};

// The rest of the input as datagrams, one after the other.
std::vector<Datagram> readDatagrams(Input& in)
{
    std::vector<Datagram> all;
    std::uint32_t at = 0;
    while (!in.empty()) {
        Datagram d;
        at += in.word();
        d.delay = at;
        d.bytes.resize(in.word() % 400);
        d.shape = in.byte();
        d.pick = in.byte();
        d.copies = in.byte();
        d.gap = 1 + in.byte() * 2u;
        for (auto& b : d.bytes)
            b = in.byte();
        all.push_back(std::move(d));
    }
    return all;
}

std::vector<std::uint8_t> shaped(const Datagram& d, const std::vector<PingTarget>& targets, std::uint16_t identifier,
                                 std::uint16_t firstSequence)
{
    std::vector<std::uint8_t> b = d.bytes;
    if (!(d.shape & Ours))
        return b;
    const std::size_t header = d.shape & Options ? 24 : 20;
    if (b.size() < header + echo::EchoedBytes)
        b.resize(header + echo::EchoedBytes);
    b[0] = static_cast<std::uint8_t>(0x40 | header / 4);
    b[9] = 1;
    std::uint8_t* icmp = b.data() + header;
    const std::uint32_t index = d.pick % (targets.size() + 1);
    icmp[8] = static_cast<std::uint8_t>(index), icmp[9] = icmp[10] = icmp[11] = 0;
    icmp[12] = 0x0D, icmp[13] = 0x10, icmp[14] = 0x0B, icmp[15] = 0x0B;
    if (d.shape & EchoReply)
        icmp[0] = icmp[1] = 0;
    if ((d.shape & FromTarget) && index < targets.size())
        std::memcpy(&b[12], &targets[index].address, 4);
    if (d.shape & OurId)
        icmp[4] = static_cast<std::uint8_t>(identifier >> 8), icmp[5] = static_cast<std::uint8_t>(identifier);
    if (d.shape & SentSequence) {
        const auto sequence = static_cast<std::uint16_t>(firstSequence + d.pick / 8);
        icmp[6] = static_cast<std::uint8_t>(sequence >> 8), icmp[7] = static_cast<std::uint8_t>(sequence);
    }
    return b;
}

// Whether a datagram answers a request sent to `index`. When it came does not
// matter: one left queued may be read after the request it names went.
bool answers(const std::vector<std::uint8_t>& datagram, std::size_t index, const std::vector<PingTarget>& targets,
             const FakeIcmp& network)
{
    const auto r = echo::parseReply(datagram.data(), datagram.size());
    if (!r || r->index != index || r->identifier != network.identifier || r->source != targets[index].address)
        return false;
    // An echo reply, read here from the bytes rather than taken from the rule.
    const std::size_t header = std::size_t(datagram[0] & 0x0F) * 4;
    if (datagram[0] >> 4 != 4 || datagram[9] != 1 || datagram[header] != 0 || datagram[header + 1] != 0)
        return false;
    for (const FakeIcmp::Sent& s : network.sent)
        if (FakeIcmp::indexOf(s) == index && FakeIcmp::sequenceOf(s) == r->sequence)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The rule alone, on a buffer of exactly this size, so a read past it is caught.
    {
        auto copy = std::make_unique<std::uint8_t[]>(size);
        std::copy(data, data + size, copy.get());
        if (auto reply = echo::parseReply(copy.get(), size)) {
            const std::size_t header = std::size_t(copy[0] & 0x0F) * 4;
            check(header >= 20 && size >= header + echo::EchoedBytes);
            check(copy[9] == 1 && copy[header] == 0 && copy[header + 1] == 0);
            const auto shortest = echo::parseReply(copy.get(), header + echo::EchoedBytes);
            check(shortest && same(*shortest, *reply));
            check(!echo::parseReply(copy.get(), header + echo::EchoedBytes - 1));
        }
    }

    Input in(data, size);
    const int count = 1 + in.byte() % 16;
    const std::uint16_t resolved = in.word(), answering = in.word();
    const std::uint8_t replyDelay = in.byte();
    const std::uint8_t cancelAtWait = in.byte();

    ManualClock clock;
    FakeIcmp network(clock);
    network.identifier = in.word();
    std::vector<PingTarget> targets;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t address = (resolved >> i) & 1 ? static_cast<std::uint32_t>(i + 1) : 0;
        targets.push_back({"T" + std::to_string(i), false, address});
        if ((answering >> i) & 1)
            network.answering.push_back(address);
    }
    network.delay = replyDelay * 10u;

    // Let loose at the first request, whose sequence number the shapes start from.
    const std::vector<Datagram> datagrams = readDatagrams(in);
    std::vector<std::vector<std::uint8_t>> delivered;
    network.onSend = [&](const FakeIcmp::Sent& s) {
        if (network.sent.size() != 1)
            return;
        for (const Datagram& d : datagrams) {
            delivered.push_back(shaped(d, targets, network.identifier, FakeIcmp::sequenceOf(s)));
            for (int i = 0; i <= d.copies; ++i)
                network.arrive(s.at + d.delay + i * d.gap, delivered.back());
        }
    };

    CancelToken cancel;
    int waits = 0;
    network.onWait = [&](std::uint32_t) {
        if (cancelAtWait && ++waits == cancelAtWait)
            cancel.cancel();
    };
    Progress<SearchProgress> progress;
    auto socket = network.open();
    const std::uint32_t start = clock.now();
    constexpr int Tolerated = 8;
    constexpr std::uint32_t T = 500;
    PingRounds(*socket, clock, progress, cancel).run(targets, Tolerated, T);
    const std::uint32_t took = clock.now() - start;

    const LivenessProgress v = progress.value().liveness;
    check(v.pingsSent == static_cast<int>(network.sent.size()));
    for (const auto& s : network.sent) {
        check(s.address != 0);
        check(FakeIcmp::indexOf(s) < targets.size());
        check(s.address == targets[FakeIcmp::indexOf(s)].address);
        check(FakeIcmp::identifierOf(s) == network.identifier);
    }
    // One count per target answered, and only by an answer to a request it was sent.
    int answered = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!targets[i].answered)
            continue;
        ++answered;
        const auto& a = network.answering;
        bool genuine = false;
        for (const auto& s : network.sent)
            genuine |= FakeIcmp::indexOf(s) == i && std::find(a.begin(), a.end(), s.address) != a.end();
        for (const auto& d : delivered)
            genuine |= answers(d, i, targets, network);
        check(genuine);
    }
    check(v.repliesReceived == answered);
    // Every wait ends within 8 x T (and one more wait of T) of its last valid
    // reply, so only answers stretch the rounds, whatever else arrives.
    check(v.round <= (answered + 1) * (Tolerated + 2));
    check(took <= static_cast<std::uint32_t>(v.round + answered) * 9 * T);
    return 0;
}
