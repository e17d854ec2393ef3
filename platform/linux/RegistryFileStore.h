#pragma once

#include "platform/ProfileStore.h"
#include "platform/linux/RegistryFile.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace rm {

// The settings store on Linux: one registry export file per user. Every call
// reads the file afresh and every write replaces it whole (temporary file,
// then rename) under a lock, so two running copies see each other's writes
// value by value, as they would in a registry. A file that cannot be read
// cleanly gives defaults for what is unreadable and is set aside, never
// overwritten, before the first write replaces it.
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

    const std::filesystem::path& file() const { return file_; }

private:
    const RegistryFile::Value* read(const std::string& section, const std::string& name,
                                    RegistryFile& holder);
    void modify(const std::function<void(RegistryFile&)>& change);
    std::optional<RegistryFile> load() const;
    bool replaceFile(const std::string& contents) const;
    void setAsideDamaged() const;
    std::string keyOf(const std::string& section) const;

    std::filesystem::path file_;
    std::string rootKey_;
};

} // namespace rm
