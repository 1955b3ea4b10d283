#pragma once

#include "settings/regfile.h"
#include "settings/registry_backend.h"

#include <optional>
#include <string>
#include <string_view>

// The registry stand-in where there is no registry: one registry-export file
// per root. Writers serialise on a lock file beside the store and replace the
// file atomically, so a reader always sees a whole file and two writers both
// keep their value. A file that cannot be parsed is moved aside, never
// overwritten.
namespace quillarbor {

class PortableStore {
public:
    PortableStore(std::string path, bool writable);

    backend::ReadResult read(std::string_view keyPath, std::string_view name,
                             std::optional<std::size_t> maxBytes = std::nullopt) const;
    // nullopt once the store holds the value (also when it already did).
    std::optional<SaveError> write(std::string_view keyPath, std::string_view name,
                                   const backend::RawValue& value);
    void remove(std::string_view keyPath, std::string_view name);

    const std::string& path() const { return path_; }

    // $XDG_CONFIG_HOME/quillarbor/user.reg (~/.config when unset).
    static std::string userStorePath();
    // The first quillarbor/machine.reg along $XDG_CONFIG_DIRS (/etc/xdg when unset);
    // nullopt when none exists.
    static std::optional<std::string> machineStorePath();

private:
    enum class Load { Missing, Loaded, Damaged, Unreadable };
    struct Loaded {
        Load status = Load::Missing;
        regfile::Document doc;
    };

    // Follows symbolic links so that writes replace the file they point to.
    std::string resolvedPath() const;
    Loaded load(const std::string& file) const;
    // Moves a damaged file aside under the lock; returns false if it is still there.
    bool quarantine(const std::string& file) const;
    template <typename Change> std::optional<SaveError> modify(Change change);

    std::string path_;
    bool writable_;
};

// The key path as the store files name it: the root's name, then the sub-key
// with empty components dropped ("Software\\Quillarbor\\" -> "Software\\Quillarbor").
std::string storeKeyPath(RegRoot root, std::string_view subKey);

} // namespace quillarbor
