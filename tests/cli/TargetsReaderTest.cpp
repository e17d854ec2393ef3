// The targets reader on hostile input, as its fuzz target found it failing:
// an error naming where, never a crash.
#include "cli/ApplyTargets.h"
#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include <pthread.h>

namespace rm {
namespace {

std::string targetError(const std::string& text)
{
    try {
        parseTargets(text, "");
    } catch (const UsageError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(CliTargetsReader, AModeThatIsNoTextIsNoGroupSearch)
{
    for (const char* mode : {"1", "null", "true", "[]", "{}", "[\"group\"]"}) {
        const std::string text = std::string("{\"mode\": ") + mode
            + ", \"computers\": [{\"computer\": \"PC01\", \"user\": \"a\"}]}";
        ApplyTargets t;
        ASSERT_NO_THROW(t = parseTargets(text, "")) << mode;
        EXPECT_FALSE(t.groupMode) << mode;
        ASSERT_EQ(t.rows.size(), 1u) << mode;
        EXPECT_EQ(t.rows[0].computer, "PC01");
    }
}

TEST(CliTargetsReader, MalformedJsonNamesTheLineOrTheComputer)
{
    EXPECT_EQ(targetError("{\"computers\": [\n{\"computer\": \"PC01\", \"user\": \"a\"},\n{\"computer\": ]}"),
              "line 3: the targets are not a JSON document of search --format json");
    EXPECT_EQ(targetError("{\"computers\": [{\"computer\": \"PC01\", \"user\": \"a\"}, 5]}"),
              "computer 2 of the JSON targets is not an object");
    // Fields of another kind than written are left unknown, not fatal.
    EXPECT_EQ(targetError("{\"computers\": [{\"computer\": \"PC01\", \"user\": \"a\", \"groups\": {\"x\": 1}, "
                          "\"enabled\": [1]}]}"),
              "(accepted)");
}

// Runs `body` on a thread with a small stack: a call nested once for each
// character of a long line cannot fit there.
template <class Body>
void onSmallStack(Body body)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, [](void* b) -> void* {
        (*static_cast<Body*>(b))();
        return nullptr;
    }, &body), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

TEST(CliTargetsReader, ALineOfBackslashPairsIsStrippedWithoutNesting)
{
    const std::string pairs(2 * 8192, '\\');
    BatchTarget row;
    std::string error;
    onSmallStack([&] {
        try {
            row = parseTarget(pairs + "PC01\\a", "");
            parseTargets(pairs + "\n", "x");
        } catch (const UsageError& e) {
            error = e.what();
        }
    });
    EXPECT_EQ(row.computer, "PC01");
    EXPECT_EQ(row.user, "a");
    // Nothing but pairs names no computer; the message quotes only the line's start.
    EXPECT_EQ(error, "line 1: target \"" + std::string(60, '\\') + "...\" names no computer");
}

} // namespace
} // namespace rm
