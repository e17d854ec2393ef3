#include "settings/RegistryFileStore.h"

#include "settings/RegistryFileDisk.h"
#include "settings/RegistryFileLock.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace rm {

RegistryFileStore::RegistryFileStore(std::filesystem::path file, std::string rootKey)
    : file_(std::move(file)), rootKey_(std::move(rootKey))
{
}

std::filesystem::path RegistryFileStore::defaultLocation(const std::string& company,
                                                         const std::string& application)
{
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/";
        }
        base = std::filesystem::path(home) / ".config";
    }
    return base / company / (application + ".reg");
}

std::string RegistryFileStore::keyOf(const std::string& section) const
{
    return rootKey_ + "\\" + section;
}

void RegistryFileStore::beginBatch()
{
    ++depth_;
}

void RegistryFileStore::endBatch()
{
    if (--depth_ > 0)
        return;
    if (!changes_.empty())
        store();
    seen_.reset();
    changes_ = RegistryFile();
}

RegistryFile& RegistryFileStore::seen()
{
    if (!seen_) {
        // Files are replaced by rename, so the lock only keeps a reader from
        // finding a damaged file moved aside and its successor not yet there.
        RegistryFileLock lock(file_, false);
        const RegistryFileDisk::Contents contents = RegistryFileDisk(file_).read();
        seen_ = contents.kind == RegistryFileDisk::Kind::Text ? RegistryFile::parse(contents.text)
                                                              : RegistryFile();
        seen_->merge(changes_);
    }
    return *seen_;
}

const RegistryFile::Value* RegistryFileStore::find(const std::string& section,
                                                   const std::string& name)
{
    // Opening a section creates it, for reading as for writing.
    if (!seen().hasKey(keyOf(section))) {
        seen_->createKey(keyOf(section));
        changes_.createKey(keyOf(section));
    }
    return seen_->find(keyOf(section), name);
}

void RegistryFileStore::write(const std::string& section, const std::string& name,
                              const RegistryFile::Value& value)
{
    changes_.set(keyOf(section), name, value);
    if (seen_)
        seen_->set(keyOf(section), name, value);
}

void RegistryFileStore::store() const
{
    using Kind = RegistryFileDisk::Kind;
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    RegistryFileLock lock(file_, true);
    if (!lock.held())
        return;
    const RegistryFileDisk disk(file_);
    const RegistryFileDisk::Contents contents = disk.read();
    if (contents.kind == Kind::Unreadable)
        return;
    RegistryFile file = RegistryFile::parse(contents.text);
    if ((contents.kind == Kind::Foreign || file.damaged()) && !disk.setAside())
        return;
    file.merge(changes_);
    disk.replace(file.serialize());
}

std::uint32_t RegistryFileStore::readInteger(const std::string& section, const std::string& name,
                                             std::uint32_t fallback)
{
    Batch batch(*this);
    const RegistryFile::Value* v = find(section, name);
    // The stored type is not looked at: up to four bytes are the number.
    if (!v || v->data.size() > 4)
        return fallback;
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < v->data.size(); ++i)
        n |= std::uint32_t(v->data[i]) << (8 * i);
    return n;
}

std::string RegistryFileStore::readText(const std::string& section, const std::string& name,
                                        const std::string& fallback)
{
    Batch batch(*this);
    const RegistryFile::Value* v = find(section, name);
    std::string s;
    if (!v || !RegistryFile::textOf(*v, s))
        return fallback;
    return s;
}

void RegistryFileStore::writeInteger(const std::string& section, const std::string& name,
                                     std::uint32_t value)
{
    Batch batch(*this);
    write(section, name, RegistryFile::dword(value));
}

void RegistryFileStore::writeText(const std::string& section, const std::string& name,
                                  const std::string& value)
{
    Batch batch(*this);
    write(section, name, RegistryFile::text(value));
}

} // namespace rm
