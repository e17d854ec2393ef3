#pragma once

#include "core/ports/FileWriter.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rm {

// One journal file, held: no other process can take it while this lives.
class JournalFile {
public:
    virtual ~JournalFile() = default;
    virtual const std::string& path() const = 0;
    // Adds `line` and a line end, and syncs it to the disk before answering.
    virtual FileFailure append(const std::string& line) = 0;
    // What the file holds; nothing when it cannot be read or is too large
    // to be a journal.
    virtual std::optional<std::string> read() = 0;
    // Takes the name away; the file stays held until this is destroyed.
    virtual FileFailure remove() = 0;
};

// Where journals are made and found. A journal is held by the process
// writing it for the life of its batch.
class JournalFiles {
public:
    virtual ~JournalFiles() = default;
    // A new file at `path` holding `firstLine`, made only when nothing
    // (not even a link) has that name, synced, and held; nothing on failure.
    virtual std::unique_ptr<JournalFile> create(const std::string& path, const std::string& firstLine,
                                                FileFailure& failure) = 0;
    // The user's journals in `folder` (names ending ".journal"), in name order.
    virtual std::vector<std::string> list(const std::string& folder) = 0;
    // The journal at `path`, held, when no running process holds it and it
    // is still there; else nothing.
    virtual std::unique_ptr<JournalFile> claim(const std::string& path) = 0;
};

} // namespace rm
