#pragma once

namespace rm {

// Ctrl+C and SIGTERM become a cancel of the running step, as the window's
// Cancel is: a batch completes its current computer and is still logged. A
// second Ctrl+C ends the program at once.
void catchInterrupts();
bool interrupted();

} // namespace rm
