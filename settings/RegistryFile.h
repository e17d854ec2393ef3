#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rm {

// The registry export format ("Windows Registry Editor Version 5.00"): keys in
// brackets, values as "name"=data. Value data is kept as the raw bytes and type
// the registry itself would hold, so an integer and a text stay apart and a
// value of an unexpected size can be recognised.
class RegistryFile {
public:
    enum Type : std::uint32_t { Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4 };

    struct Value {
        std::uint32_t type = Binary;
        std::vector<std::uint8_t> data;
    };

    static Value dword(std::uint32_t number);
    static Value text(const std::string& utf8);
    // The text of a string value, up to its terminator; false for other types.
    static bool textOf(const Value& value, std::string& utf8);

    // Lines that cannot be read are skipped and mark the file damaged; a text
    // without the format's header line is not a registry file at all.
    static RegistryFile parse(const std::string& contents);
    std::string serialize() const;

    bool recognised() const { return recognised_; }
    bool damaged() const { return damaged_; }

    bool empty() const { return keys_.empty(); }
    bool hasKey(const std::string& key) const;
    void createKey(const std::string& key);
    const Value* find(const std::string& key, const std::string& name) const;
    void set(const std::string& key, const std::string& name, const Value& value);
    // Adds every key of `changes` and sets every value it holds.
    void merge(const RegistryFile& changes);

private:
    struct Entry {
        std::string name;
        Value value;
    };
    struct Key {
        std::string path;
        std::vector<Entry> entries;
    };

    Key* findKey(const std::string& path);
    const Key* findKey(const std::string& path) const;
    bool parseValueLine(const std::string& line);

    std::vector<Key> keys_;
    bool recognised_ = true;
    bool damaged_ = false;
};

} // namespace rm
