#include "cli/ConsolePrompter.h"

#include "cli/Terminal.h"

namespace rm {

ConsolePrompter::ConsolePrompter(std::ostream& err, std::set<std::string> answeredYes, bool mayAsk)
    : err_(err), answeredYes_(std::move(answeredYes)), mayAsk_(mayAsk)
{
}

std::string ConsolePrompter::oneLine(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (blank && (out.empty() || out.back() == ' '))
            continue;
        out += blank ? ' ' : c;
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

MessageAnswer ConsolePrompter::show(const Message& m)
{
    if (m.buttons == MessageButtons::YesNo) {
        if (answeredYes_.count(m.title))
            return MessageAnswer::Yes;
        if (mayAsk_) {
            const auto answer = askTerminal(m.title + "\n" + m.text + " [y/N] ", false);
            if (answer && !answer->empty() && (answer->front() == 'y' || answer->front() == 'Y'))
                return MessageAnswer::Yes;
        }
        declined_ = m.title;
        return MessageAnswer::No;
    }
    // Input the command refused ends the program, with this text as its one
    // line. The ping scan's notice has the same title, but the search goes on.
    if (m.title == "Error" && m.icon != MessageIcon::Information)
        error_ = oneLine(m.text);
    else
        err_ << m.title << ": " << oneLine(m.text) << std::endl;
    return MessageAnswer::Ok;
}

} // namespace rm
