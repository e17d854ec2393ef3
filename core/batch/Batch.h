#pragma once

#include "core/batch/BatchJournal.h"
#include "core/batch/BatchOutcome.h"
#include "core/batch/BatchPlan.h"
#include "core/batch/PasswordKeeper.h"
#include "core/jobs/CancelToken.h"
#include "core/jobs/Progress.h"
#include "core/ports/NetworkManagement.h"

#include <ctime>

namespace rm {

// Applies a confirmed plan one account after the other, in the order of its
// targets: the password, then the enabled state, then the rename, each
// failure recorded and the walk going on. `confirmed` stamps every account.
// A cancel is looked at before each account, so the one begun is completed.
// Each account is recorded in `journal`, when given, once its actions end;
// when that fails the batch stops there, as cancelled. A plan of generated
// passwords takes each account's from `keeper`; one it cannot keep stops the
// batch there, as cancelled, before that account is touched.
BatchOutcome apply(const BatchPlan& plan, std::time_t confirmed, NetworkManagement& network,
                   Progress<BatchCounts>& progress, const CancelToken& cancel, BatchJournal* journal = nullptr,
                   PasswordKeeper* keeper = nullptr);

} // namespace rm
