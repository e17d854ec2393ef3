#include "helper/HelperRequest.h"

#include "core/ports/Wipe.h"

namespace rm {

void HelperRequest::wipe()
{
    for (std::string& t : texts)
        rm::wipe(t);
}

std::optional<RequestShape> requestShape(HelperOp op)
{
    switch (op) {
    case HelperOp::SetCredentials:
        return RequestShape{3, 2};
    case HelperOp::UserGetInfo:
    case HelperOp::LocalGroupGetMembers:
        return RequestShape{2, 0};
    case HelperOp::UserSetPassword:
    case HelperOp::UserSetName:
        return RequestShape{3, 0};
    case HelperOp::UserSetFlags:
    case HelperOp::UserGetLocalGroups:
        return RequestShape{2, 1};
    case HelperOp::QueryDisplayMachines:
        return RequestShape{1, 2};
    case HelperOp::ServerEnum:
    case HelperOp::GetDcName:
    case HelperOp::UserGetInfoByRid:
        return RequestShape{1, 1};
    }
    return std::nullopt;
}

std::optional<HelperRequest> decodeRequest(const std::string& frame)
{
    WireReader in(frame);
    std::uint32_t op = 0;
    if (!in.number(op))
        return std::nullopt;
    const auto shape = requestShape(static_cast<HelperOp>(op));
    if (!shape)
        return std::nullopt;
    // Built in place: a moved-from text would leave a password behind.
    std::optional<HelperRequest> r(std::in_place);
    r->op = static_cast<HelperOp>(op);
    r->texts.resize(shape->texts);
    r->numbers.resize(shape->numbers);
    bool ok = true;
    for (std::string& t : r->texts)
        ok = ok && in.text(t);
    for (std::uint32_t& n : r->numbers)
        ok = ok && in.number(n);
    if (!ok) {
        r->wipe();
        return std::nullopt;
    }
    return r;
}

} // namespace rm
