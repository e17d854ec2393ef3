#pragma once

#include "core/ports/Prompter.h"

namespace rm {

// Shows the real message box, owned by the active modal window.
class QtPrompter : public Prompter {
public:
    MessageAnswer show(const Message& message) override;
    void beep() override;
};

} // namespace rm
