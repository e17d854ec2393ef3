#pragma once

#include "settings/ProfileStore.h"
#include "settings/RegistryFile.h"

#include <filesystem>
#include <optional>

namespace rm {

// The settings store on Linux: one registry export file per user. A batch
// reads the file once, at its first read, and writes at most once, when it
// ends: under a lock it reads the file afresh, sets in it only the keys and
// values the batch wrote, and replaces it whole. So two running copies see
// each other's writes value by value, as they would in a registry. A call
// outside a batch is a batch of its own. A file that cannot be read cleanly
// gives defaults for what is unreadable and is set aside, never overwritten,
// before a write replaces it; one that cannot be read at all is left alone.
class RegistryFileStore : public ProfileStore {
public:
    RegistryFileStore(std::filesystem::path file, std::string rootKey);

    // $XDG_CONFIG_HOME (or ~/.config) / company / application.reg
    static std::filesystem::path defaultLocation(const std::string& company,
                                                 const std::string& application);

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

    const std::filesystem::path& file() const { return file_; }

private:
    const RegistryFile::Value* find(const std::string& section, const std::string& name);
    void write(const std::string& section, const std::string& name, const RegistryFile::Value& value);
    RegistryFile& seen();
    void store() const;
    std::string keyOf(const std::string& section) const;

    std::filesystem::path file_;
    std::string rootKey_;
    int depth_ = 0;
    std::optional<RegistryFile> seen_; // the file as the batch read it, with its changes
    RegistryFile changes_;             // keys opened and values written in the batch
};

} // namespace rm
