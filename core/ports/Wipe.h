/* The one way secrets are cleared, in the program and in its helper: memory
 * that held a password is overwritten in a way the compiler may not drop.
 * Plain C for the helper's C sources; the string overload for C++. */
#ifndef ROSTERMILL_WIPE_H
#define ROSTERMILL_WIPE_H

#include <stddef.h>
#include <string.h>

static inline void rm_wipe(void *memory, size_t size)
{
	if (memory && size)
		explicit_bzero(memory, size);
}

#ifdef __cplusplus
#include <string>

namespace rm {

// Clears the whole buffer, also what lies past the text's end.
inline void wipe(std::string& secret)
{
    secret.resize(secret.capacity());
    rm_wipe(secret.data(), secret.size());
    secret.clear();
}

} // namespace rm
#endif

#endif
