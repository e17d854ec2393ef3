#pragma once

#include "settings/ProfileStore.h"

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace rm {

// Settings held in memory, with the order of every read and write kept as
// "read Section/Name" and "write Section/Name", and each batch as the span
// of those entries it held.
class MemoryProfileStore : public ProfileStore {
public:
    using Value = std::variant<std::uint32_t, std::string>;

    std::uint32_t readInteger(const std::string& section, const std::string& name,
                              std::uint32_t fallback) override;
    std::string readText(const std::string& section, const std::string& name,
                         const std::string& fallback) override;
    void writeInteger(const std::string& section, const std::string& name,
                      std::uint32_t value) override;
    void writeText(const std::string& section, const std::string& name,
                   const std::string& value) override;
    void beginBatch() override;
    void endBatch() override;

    bool has(const std::string& section, const std::string& name) const;
    const Value* value(const std::string& section, const std::string& name) const;
    std::vector<std::string> namesIn(const std::string& section) const;

    std::vector<std::string> log;
    std::vector<std::pair<std::size_t, std::size_t>> batches; // entries [first, second) of log

private:
    int depth_ = 0;
    std::size_t batchStart_ = 0;
    std::map<std::pair<std::string, std::string>, Value> values_;
};

} // namespace rm
