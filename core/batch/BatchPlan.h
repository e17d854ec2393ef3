#pragma once

#include "core/batch/BatchRequest.h"
#include "core/ports/Prompter.h"

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

private:
    BatchRequest request_;
    std::vector<Question> questions_;
};

// The checks of a request, in their order; the first that fails refuses it.
std::variant<BatchPlan, Refusal> plan(BatchRequest request);

// "The following actions will be performed on each selected user: ..."
std::string confirmationText(const BatchRequest& request);

} // namespace rm
