#pragma once

#include <cstdint>
#include <string>

namespace rm {

// The per-user settings store: sections of named values, integers and texts
// kept apart. Reads of absent values give the caller's default; failures are
// silent, as the program never reports a settings problem.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    virtual std::uint32_t readInteger(const std::string& section, const std::string& name,
                                      std::uint32_t fallback) = 0;
    virtual std::string readText(const std::string& section, const std::string& name,
                                 const std::string& fallback) = 0;
    virtual void writeInteger(const std::string& section, const std::string& name,
                              std::uint32_t value) = 0;
    virtual void writeText(const std::string& section, const std::string& name,
                           const std::string& value) = 0;

    // The reads and writes of one record, made between beginBatch and endBatch,
    // may share one look at the stored values, and its writes may be stored
    // together when the batch ends. Values the batch did not write are left as
    // others stored them meanwhile. A batch begun inside another joins it.
    virtual void beginBatch() = 0;
    virtual void endBatch() = 0;

    // Keeps a batch open for its own lifetime.
    class Batch {
    public:
        explicit Batch(ProfileStore& store) : store_(store) { store_.beginBatch(); }
        ~Batch() { store_.endBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ProfileStore& store_;
    };
};

} // namespace rm
