#pragma once

#include "adapters/netapi/HelperProcess.h"

#include <chrono>
#include <memory>
#include <string>

namespace rm {

// A helper started once, loaded and bound, that forks the others: starting a
// helper then costs a fork instead of loading and binding Samba's libraries
// again (some 48 ms of CPU and 1,200 page faults each on the machines
// measured). It holds no credentials and makes no call. Its helpers share its
// address layout, as any forked workers do: each holds the same credentials,
// so one that falls gives nothing another would not. They get the
// environment the program had when the template started.
class HelperTemplate {
public:
    // Nothing when the program cannot be started.
    static std::unique_ptr<HelperTemplate> start(const std::string& path);

    // A new helper; nothing when the template could not make one. A template
    // that does not answer (a program that is no template, one gone) or
    // cannot watch its helpers is ended, and makes none from then on.
    std::unique_ptr<HelperProcess> fork(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // 0 once ended.
    pid_t pid() const { return process_ ? process_->pid() : 0; }

private:
    explicit HelperTemplate(std::unique_ptr<HelperProcess> process) : process_(std::move(process)) {}

    std::unique_ptr<HelperProcess> process_;
};

} // namespace rm
