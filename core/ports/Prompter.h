#pragma once

#include <string>

namespace rm {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Exclamation, Stop };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
    std::string title;
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const Message&) const = default;
};

// Every message box of the program goes through here.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer show(const Message& message) = 0;
    // The platform's warning sound; some boxes are preceded by it.
    virtual void beep() = 0;
};

} // namespace rm
