#include "support/MemoryProfileStore.h"

namespace rm {

std::uint32_t MemoryProfileStore::readInteger(const std::string& section, const std::string& name,
                                              std::uint32_t fallback)
{
    log.push_back("read " + section + "/" + name);
    const Value* v = value(section, name);
    return v && std::holds_alternative<std::uint32_t>(*v) ? std::get<std::uint32_t>(*v) : fallback;
}

std::string MemoryProfileStore::readText(const std::string& section, const std::string& name,
                                         const std::string& fallback)
{
    log.push_back("read " + section + "/" + name);
    const Value* v = value(section, name);
    return v && std::holds_alternative<std::string>(*v) ? std::get<std::string>(*v) : fallback;
}

void MemoryProfileStore::writeInteger(const std::string& section, const std::string& name,
                                      std::uint32_t v)
{
    log.push_back("write " + section + "/" + name);
    values_[{section, name}] = v;
}

void MemoryProfileStore::writeText(const std::string& section, const std::string& name,
                                   const std::string& v)
{
    log.push_back("write " + section + "/" + name);
    values_[{section, name}] = v;
}

void MemoryProfileStore::beginBatch()
{
    if (depth_++ == 0)
        batchStart_ = log.size();
}

void MemoryProfileStore::endBatch()
{
    if (--depth_ == 0)
        batches.push_back({batchStart_, log.size()});
}

bool MemoryProfileStore::has(const std::string& section, const std::string& name) const
{
    return value(section, name) != nullptr;
}

const MemoryProfileStore::Value* MemoryProfileStore::value(const std::string& section,
                                                           const std::string& name) const
{
    auto it = values_.find({section, name});
    return it == values_.end() ? nullptr : &it->second;
}

std::vector<std::string> MemoryProfileStore::namesIn(const std::string& section) const
{
    std::vector<std::string> names;
    for (const auto& [key, v] : values_)
        if (key.first == section)
            names.push_back(key.second);
    return names;
}

} // namespace rm
