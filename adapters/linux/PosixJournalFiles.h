#pragma once

#include "core/ports/JournalFiles.h"

namespace rm {

// Journals as files: made under a temporary name, locked (flock) and given
// their first line before they take their name with link(2), so a journal
// is never seen without its lock nor in place of anything; each line is
// appended and fdatasync'd. The lock lives with the open file, so it goes
// when the process does, however it ends. Only the user's own regular files
// are claimed.
class PosixJournalFiles : public JournalFiles {
public:
    std::unique_ptr<JournalFile> create(const std::string& path, const std::string& firstLine,
                                        FileFailure& failure) override;
    std::vector<std::string> list(const std::string& folder) override;
    std::unique_ptr<JournalFile> claim(const std::string& path) override;
};

} // namespace rm
