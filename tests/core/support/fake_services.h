#pragma once

#include "app/PresenterDependencies.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace quillarbor::test {

// A settings store in memory. With `refusing` set, every write fails as a full disk would, and
// the data stays as it was.
class MemoryStore final : public SettingsStore {
public:
    bool refusing = false;

    std::string get(std::string_view subKey, std::string_view valueName) const override {
        const auto it = values_.find(key(subKey, valueName));
        return it == values_.end() ? std::string() : it->second;
    }
    std::optional<SaveError> save(std::string_view subKey, std::string_view valueName,
                                  std::string_view data) override {
        if (refusing) {
            return SaveError{"memory:" + std::string(subKey), "no space left"};
        }
        values_[key(subKey, valueName)] = data;
        return std::nullopt;
    }
    void remove(std::string_view subKey, std::string_view valueName) override {
        values_.erase(key(subKey, valueName));
    }

private:
    static std::pair<std::string, std::string> key(std::string_view subKey,
                                                   std::string_view valueName) {
        return {std::string(subKey), std::string(valueName)};
    }
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

// Folders that exist, by name, and the one the process starts in.
class FakeFolders final : public FolderAccess {
public:
    std::set<std::string> existing;
    std::string currentFolder;

    bool exists(const std::string& folder) const override { return existing.contains(folder); }
    std::string current() const override { return currentFolder; }
};

class FakeAutostart final : public AutostartEntry {
public:
    bool on = false;
    void set(bool value) override { on = value; }
};

} // namespace quillarbor::test
