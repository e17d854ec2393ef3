#pragma once

#include "core/ports/Prompter.h"

#include <ostream>
#include <set>
#include <string>

namespace rm {

// Message boxes on a console: notices go to standard error as one line;
// questions whose titles are given are answered yes, others are asked on the
// terminal, else answered no. An error box's text is kept instead of shown:
// the program ends with it as its one line.
class ConsolePrompter : public Prompter {
public:
    ConsolePrompter(std::ostream& err, std::set<std::string> answeredYes, bool mayAsk);

    MessageAnswer show(const Message& message) override;
    void beep() override {}

    const std::string& errorText() const { return error_; }
    // The title of a question answered no, or empty.
    const std::string& declined() const { return declined_; }

    // A box's text on one line: its line breaks and runs of blanks as one blank.
    static std::string oneLine(const std::string& text);

private:
    std::ostream& err_;
    const std::set<std::string> answeredYes_;
    const bool mayAsk_;
    std::string error_;
    std::string declined_;
};

} // namespace rm
