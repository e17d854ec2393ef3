#pragma once

namespace rm {

// The argument that starts a helper as the template of the others.
inline constexpr const char* TemplateArgument = "--template";

// Serves as the template: for each byte the program writes on `control`, forks
// a helper and answers its pid (4 bytes) with two descriptors, the program's
// end of the helper's channel and a process descriptor for it. Without a
// descriptor it answers a pid of 0 when none could be made this time, -1 when
// it cannot watch its helpers at all (no process descriptors), and should be
// used no more. Returns only in a forked helper, its
// channel then on `control`'s number; the template ends when the program
// closes its end. Starting a helper so costs a fork, not the loading of every
// library again.
void serveForks(int control);

} // namespace rm
