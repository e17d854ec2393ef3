// The helper's side of the channel fed arbitrary bytes: frames read off a
// descriptor one after the other, each decoded as a request. Every frame is
// the input's next piece, and every request decoded writes back as the
// frame's first bytes.
#include "helper/HelperProtocol.h"
#include "helper/HelperRequest.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace rm;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::uint32_t numberAt(const std::string& bytes, std::size_t at)
{
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return n;
}

// The frame's request, written as the program writes one.
std::string encode(const HelperRequest& r)
{
    WireWriter w;
    w.number(static_cast<std::uint32_t>(r.op));
    for (const std::string& t : r.texts)
        w.text(t);
    for (std::uint32_t n : r.numbers)
        w.number(n);
    return w.bytes();
}

void checkRequest(const std::string& frame)
{
    const auto request = decodeRequest(frame);
    const auto shape = frame.size() >= 4 ? requestShape(static_cast<HelperOp>(numberAt(frame, 0))) : std::nullopt;
    if (!shape) {
        check(!request);
        return;
    }
    if (!request)
        return;
    // A request follows from its first bytes alone.
    const auto longer = decodeRequest(frame + '\x7f');
    check(longer && longer->op == request->op && longer->texts == request->texts
          && longer->numbers == request->numbers);
    check(request->texts.size() == shape->texts && request->numbers.size() == shape->numbers);
    const std::string again = encode(*request);
    check(again.size() <= frame.size() && frame.compare(0, again.size(), again) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("helper-requests", 0);
    check(fd >= 0);
    check(::ftruncate(fd, 0) == 0 && ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));
    check(::lseek(fd, 0, SEEK_SET) == 0);

    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    std::string frame;
    for (int i = 0;; ++i) {
        // Every other frame under a deadline, as the program reads answers.
        const bool read = i % 2 ? readFrame(fd, frame, std::chrono::steady_clock::now() + std::chrono::seconds(5))
                                : readFrame(fd, frame);
        if (!read) {
            // Only the input's end or a length over the limit ends the frames.
            check(size - at < 4 || numberAt(input, at) > MaxFrame || size - at - 4 < numberAt(input, at));
            break;
        }
        check(size - at >= 4 && numberAt(input, at) == frame.size());
        check(input.compare(at + 4, frame.size(), frame) == 0);
        at += 4 + frame.size();
        checkRequest(frame);
    }
    return 0;
}
