#pragma once

#include "settings/registry.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillarbor {

class RandomSource;

// The per-user settings store as the main window's presenter uses it: the settings, the logon
// entry and the browser's toolbar value, all under HKEY_CURRENT_USER.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // "" when the value is missing or cannot be read.
    virtual std::string get(std::string_view subKey, std::string_view valueName) const = 0;
    // nullopt once the data is stored.
    virtual std::optional<SaveError> save(std::string_view subKey, std::string_view valueName,
                                          std::string_view data) = 0;
    virtual void remove(std::string_view subKey, std::string_view valueName) = 0;
};

// The file system as the start-up sees it.
class FolderAccess {
public:
    virtual ~FolderAccess() = default;
    virtual bool exists(const std::string& folder) const = 0; // a folder, not a file
    virtual std::string current() const = 0;                  // where the choosers start
};

// Where the desktop starts only what its own autostart folder names, the entry there that starts
// the program at logon; elsewhere the logon entry in the store suffices and this does nothing.
class AutostartEntry {
public:
    virtual ~AutostartEntry() = default;
    virtual void set(bool on) = 0;
};

// What the presenter works with besides its view, handed in so that tests can hand in fakes.
struct PresenterDependencies {
    RandomSource& random; // seeded once, before start-up
    SettingsStore& store;
    FolderAccess& folders;
    AutostartEntry& autostart;
    std::string programFolder; // written into the logon entry
};

// The system's own collaborators.
class RegistrySettingsStore final : public SettingsStore {
public:
    std::string get(std::string_view subKey, std::string_view valueName) const override;
    std::optional<SaveError> save(std::string_view subKey, std::string_view valueName,
                                  std::string_view data) override;
    void remove(std::string_view subKey, std::string_view valueName) override;
};

class FileSystemFolders final : public FolderAccess {
public:
    bool exists(const std::string& folder) const override;
    std::string current() const override;
};

class DesktopAutostart final : public AutostartEntry {
public:
    explicit DesktopAutostart(std::string executable) : executable_(std::move(executable)) {}
    void set(bool on) override;

private:
    std::string executable_;
};

// The running program's collaborators: the system's store and file system, and the autostart
// entry that starts this executable.
class RunningProgram {
public:
    RunningProgram();
    PresenterDependencies dependencies(RandomSource& random);

private:
    std::string executable_;
    RegistrySettingsStore store_;
    FileSystemFolders folders_;
    DesktopAutostart autostart_;
};

} // namespace quillarbor
