#include "platform/linux/RegistryFileStore.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace rm {
namespace {

// Holds an advisory lock on a side file for the length of one call; the data
// file itself is renamed over, so it cannot carry the lock.
class FileLock {
public:
    FileLock(const std::filesystem::path& data, int operation)
    {
        std::error_code ec;
        std::filesystem::create_directories(data.parent_path(), ec);
        fd_ = ::open((data.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            while (::flock(fd_, operation) != 0 && errno == EINTR) {}
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

bool writeAll(int fd, const std::string& s)
{
    std::size_t done = 0;
    while (done < s.size()) {
        ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

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

std::optional<RegistryFile> RegistryFileStore::load() const
{
    std::ifstream in(file_, std::ios::binary);
    if (!in) {
        // Absent is a fresh start; present but unreadable must not be replaced.
        std::error_code ec;
        if (std::filesystem::exists(file_, ec) || ec)
            return std::nullopt;
        return RegistryFile::parse("");
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return RegistryFile::parse(contents.str());
}

const RegistryFile::Value* RegistryFileStore::read(const std::string& section,
                                                   const std::string& name, RegistryFile& holder)
{
    std::optional<RegistryFile> loaded;
    {
        FileLock lock(file_, LOCK_SH);
        loaded = load();
    }
    if (!loaded)
        return nullptr;
    holder = std::move(*loaded);
    // Opening a section creates it, for reading as for writing.
    if (!holder.hasKey(keyOf(section)))
        modify([&](RegistryFile& f) { f.createKey(keyOf(section)); });
    return holder.find(keyOf(section), name);
}

std::uint32_t RegistryFileStore::readInteger(const std::string& section, const std::string& name,
                                             std::uint32_t fallback)
{
    RegistryFile holder;
    const RegistryFile::Value* v = read(section, name, holder);
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
    RegistryFile holder;
    const RegistryFile::Value* v = read(section, name, holder);
    std::string s;
    if (!v || !RegistryFile::textOf(*v, s))
        return fallback;
    return s;
}

void RegistryFileStore::writeInteger(const std::string& section, const std::string& name,
                                     std::uint32_t value)
{
    modify([&](RegistryFile& f) { f.set(keyOf(section), name, RegistryFile::dword(value)); });
}

void RegistryFileStore::writeText(const std::string& section, const std::string& name,
                                  const std::string& value)
{
    modify([&](RegistryFile& f) { f.set(keyOf(section), name, RegistryFile::text(value)); });
}

void RegistryFileStore::modify(const std::function<void(RegistryFile&)>& change)
{
    FileLock lock(file_, LOCK_EX);
    std::optional<RegistryFile> f = load();
    if (!f)
        return;
    if (f->damaged())
        setAsideDamaged();
    change(*f);
    replaceFile(f->serialize());
}

void RegistryFileStore::setAsideDamaged() const
{
    std::error_code ec;
    for (int n = 1; n < 1000; ++n) {
        std::filesystem::path aside = file_;
        aside += n == 1 ? ".damaged" : ".damaged-" + std::to_string(n);
        if (!std::filesystem::exists(aside, ec)) {
            std::filesystem::rename(file_, aside, ec);
            return;
        }
    }
}

bool RegistryFileStore::replaceFile(const std::string& contents) const
{
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    std::string temp = file_.string() + ".tmp-" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, contents) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temp.c_str(), file_.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    int dir = ::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace rm
