// rostermill-cli: the console program over the Linux adapters.
#include "adapters/ldap/LdapConnection.h"
#include "adapters/linux/SecretsProtection.h"
#include "app/Adapters.h"
#include "cli/CliOptions.h"
#include "cli/CliProgram.h"

#include <iostream>

namespace {

class ConsoleAdapters : public rm::ConsolePlatform {
public:
    ConsoleAdapters(AskCredentials ask, bool askFirst) : adapters_(std::move(ask), askFirst) {}
    rm::SearchServices search() override { return adapters_.search(); }
    rm::SettingsStore& settings() override { return adapters_.settings; }
    rm::FileWriter& files() override { return adapters_.files; }
    rm::JournalFiles& journals() override { return adapters_.journals; }
    rm::WallClock& clock() override { return adapters_.wallClock; }
    rm::FileReader& reader() override { return adapters_.reader; }
    rm::RandomSource& random() override { return adapters_.random; }
    rm::RecordCipher& cipher() override { return adapters_.cipher; }
    void protectSecrets() override { rm::keepSecretsFromOtherProcesses(); }
    void refuseNtlm(bool refused) override { adapters_.network.refuseNtlm(refused); }

private:
    rm::Adapters adapters_;
};

} // namespace

int main(int argc, char** argv)
{
    rm::LdapConnection::ignoreUserConfiguration();
    return rm::runCli(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr,
                      [](rm::ConsolePlatform::AskCredentials ask, bool askFirst) -> std::unique_ptr<rm::ConsolePlatform> {
                          try {
                              return std::make_unique<ConsoleAdapters>(std::move(ask), askFirst);
                          } catch (const rm::MissingHelper& missing) {
                              throw rm::UsageError("the network helper " + std::string(missing.what())
                                                   + " is missing or cannot be run");
                          }
                      });
}
