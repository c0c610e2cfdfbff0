// The real registry of the prefix, as the tests seed it and read it back.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "driver/RegValue.h"

namespace drive {

class Registry {
public:
    explicit Registry(HKEY root = HKEY_CURRENT_USER) : m_root(root) {}

    void DeleteTree(const std::string& path) const;
    bool CreateKey(const std::string& path) const;
    bool KeyExists(const std::string& path) const;
    bool Set(const std::string& path, const RegValue& value) const;
    // Stores the values in this order, through one handle: a long list quickly.
    bool SetAll(const std::string& path, const std::vector<RegValue>& values) const;
    // Every value in the registry's order, none without the key; `complete`: no value stopped the enumeration.
    std::vector<RegValue> Values(const std::string& path, bool* complete = nullptr) const;
    // How many values the key holds, in one call: cheap enough to watch a key change.
    std::size_t ValueCount(const std::string& path) const;
    std::optional<RegValue> Find(const std::string& path, const std::string& name) const;

private:
    HKEY m_root;
};

}  // namespace drive
