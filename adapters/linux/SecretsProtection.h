#pragma once

namespace rm {

// From now on no core file is written and no other process of the same user
// may trace or read this one: its memory is about to hold a password.
void keepSecretsFromOtherProcesses();

} // namespace rm
