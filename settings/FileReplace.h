#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <sys/types.h>

namespace rm {

// How every file the program writes (the settings, reports, logs, exports)
// is found and replaced, so that no one else can steer a write elsewhere.

// `path` with the symlinks at its end followed, one at a time, each only
// when the user owns the link and no one else can write the folder it is
// in (its owner is the user or root, and it is neither group- nor
// world-writable). 0, or the errno: EACCES for a link this refuses, ELOOP
// for too many links, else what looking at a link gave. A name with nothing
// there is a result too; so is what a link leads to that does not exist.
struct FollowedPath {
    std::filesystem::path path;
    bool linked = false;
};
int followOwnLinks(const std::filesystem::path& path, FollowedPath& out);

// A new file beside `target`, its name `target` + ".tmp-" + 16 random hex
// digits, made only with O_CREAT, O_EXCL and O_NOFOLLOW beside `flags`. Its
// descriptor with `temp` its name, or -errno.
int createBeside(const std::filesystem::path& target, int flags, mode_t createMode, std::string& temp);

// Syncs the folder's entries; what failing to would change nothing here.
void syncFolder(const std::filesystem::path& folder);

// Replaces `target` by a new file of an unpredictable name beside it, made
// only with O_EXCL and O_NOFOLLOW, written, synced and renamed into place;
// then the folder is synced. The new file has `mode` as given (no umask)
// when set, else `createMode` less the umask. 0, or the errno of the first
// failure, with the new file removed again.
int replaceByRename(const std::filesystem::path& target, const std::string& contents, mode_t createMode,
                    std::optional<mode_t> mode = std::nullopt);

} // namespace rm
