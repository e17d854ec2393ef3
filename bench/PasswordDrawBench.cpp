// Draws 10,000 passwords of the default options (128 bits) and 10,000
// passphrases of 6 words from the default dictionary with the kernel's
// random source; then a peer, Python's `secrets` module, makes the same
// draws (the same alphabet, the same redraw of a password lacking a class,
// the same words), timed around its draw loops only. The last line holds the
// seconds. An argument replaces the 10,000.
#include "adapters/linux/GetrandomSource.h"
#include "adapters/linux/PosixFileReader.h"
#include "core/passwords/Dictionary.h"
#include "core/passwords/PasswordAlphabet.h"
#include "core/passwords/PasswordRecipe.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace rm;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

PasswordRecipe recipeOf(const PasswordOptions& options, std::vector<std::string> words = {},
                        std::optional<std::int32_t> length = std::nullopt)
{
    auto made = PasswordRecipe::make(options, std::move(words), length);
    if (auto* refusal = std::get_if<PasswordRecipe::Refusal>(&made)) {
        std::fprintf(stderr, "password-draw: %s\n", refusal->reason.c_str());
        std::exit(1);
    }
    return std::get<PasswordRecipe>(std::move(made));
}

// Each draw is kept to its length so the compiler cannot drop it.
double timeDraws(const PasswordRecipe& recipe, int count, std::size_t& characters)
{
    GetrandomSource random;
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i)
        characters += recipe.draw(random).reveal().size();
    return secondsSince(start);
}

const char* const Peer = R"(
import secrets, sys, time
sets = sys.argv[1:5]
count, length, words_each = int(sys.argv[6]), int(sys.argv[7]), int(sys.argv[8])
alphabet = ''.join(sets)
classes = [frozenset(s) for s in sets]
with open(sys.argv[5], encoding='utf-8') as f:
    words = [w.strip() for w in f if w.strip()]
start = time.perf_counter()
for _ in range(count):
    while True:
        p = ''.join([secrets.choice(alphabet) for _ in range(length)])
        if all(not c.isdisjoint(p) for c in classes):
            break
passwords = time.perf_counter() - start
start = time.perf_counter()
for _ in range(count):
    p = ' '.join([secrets.choice(words) for _ in range(words_each)])
print(passwords, time.perf_counter() - start)
)";

// The peer's two times; negative when it could not run.
std::pair<double, double> runPeer(int count, int length, int wordsEach)
{
    std::vector<std::string> args{"python3", "-c", Peer};
    for (const auto& set : PasswordAlphabet::Sets[0])
        args.emplace_back(set);
    args.insert(args.end(), {DICTIONARY, std::to_string(count), std::to_string(length), std::to_string(wordsEach)});
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0)
        return {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid;
    const int failed = posix_spawnp(&pid, "python3", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string answer;
    char buffer[256];
    ssize_t n;
    while (!failed && (n = ::read(out[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (failed || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {-1, -1};
    double passwords = -1, passphrases = -1;
    if (std::sscanf(answer.c_str(), "%lf %lf", &passwords, &passphrases) != 2)
        return {-1, -1};
    return {passwords, passphrases};
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    constexpr int WordsEach = 6;
    PosixFileReader files;
    auto words = loadDictionary(files, DICTIONARY);
    std::printf("dictionary: %zu words\n", words.size());
    const auto passwords = recipeOf(PasswordOptions{});
    PasswordOptions phraseOptions;
    phraseOptions.passwords = false;
    const auto passphrases = recipeOf(phraseOptions, std::move(words), WordsEach);
    std::printf("passwords: %d characters, %.2f bits; passphrases: %d words, %.2f bits\n", passwords.length(),
                passwords.entropyBits(), passphrases.length(), passphrases.entropyBits());

    std::size_t characters = 0;
    const double ours = timeDraws(passwords, count, characters);
    const double oursPhrases = timeDraws(passphrases, count, characters);
    std::printf("ours: %d passwords %.4f s, %d passphrases %.4f s (%zu characters)\n", count, ours, count,
                oursPhrases, characters);
    const auto [peer, peerPhrases] = runPeer(count, passwords.length(), WordsEach);
    std::printf("peer (python3 secrets): passwords %.4f s, passphrases %.4f s\n", peer, peerPhrases);
    std::printf("passwords_s=%.4f passphrases_s=%.4f peer_passwords_s=%.4f peer_passphrases_s=%.4f\n", ours,
                oursPhrases, peer, peerPhrases);
    return peer < 0 ? 1 : 0;
}
