#pragma once

#include "core/batch/BatchRequest.h"
#include "core/passwords/PasswordRecipe.h"
#include "core/ports/RecordCipher.h"
#include "core/ports/Prompter.h"

#include <optional>
#include <variant>
#include <vector>

namespace rm {

// A question the face asks before the batch runs; anything but yes stops it.
struct Question {
    enum class Kind { EmptyPassword, Confirmation };
    Kind kind;
    Message message;
};

// A request the checks refused: an error box's message.
struct Refusal {
    Message message;
};

// A checked request and the questions to ask, in their order.
class BatchPlan {
public:
    BatchPlan(BatchRequest request, std::vector<Question> questions)
        : request_(std::move(request)), questions_(std::move(questions))
    {
    }

    const BatchRequest& request() const { return request_; }
    const std::vector<Question>& questions() const { return questions_; }

    // Generated passwords: what they are drawn from, and the recipients'
    // keys they are encrypted to.
    struct Generation {
        PasswordRecipe recipe;
        std::vector<std::string> keys;
    };
    const std::optional<Generation>& generation() const { return generation_; }
    void setGeneration(Generation g) { generation_ = std::move(g); }

private:
    BatchRequest request_;
    std::vector<Question> questions_;
    std::optional<Generation> generation_;
};

// The checks of a request, in their order; the first that fails refuses it.
// Generated passwords need `cipher` to find the recipients' keys.
std::variant<BatchPlan, Refusal> plan(BatchRequest request, RecordCipher* cipher = nullptr);

// The recipients an options text names, parted by commas, semicolons or
// line ends.
std::vector<std::string> recipientList(const std::string& text);

// "The following actions will be performed on each selected user: ..."
std::string confirmationText(const BatchRequest& request);

} // namespace rm
