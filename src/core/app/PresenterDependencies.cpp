#include "app/PresenterDependencies.h"

#include "app/run_at_logon.h"
#include "app/startup_rules.h"

namespace quillarbor {

RunningProgram::RunningProgram() : executable_(runningExecutable()), autostart_(executable_) {
}

PresenterDependencies RunningProgram::dependencies(RandomSource& random) {
    return {random, store_, folders_, autostart_, folderOf(executable_)};
}

std::string RegistrySettingsStore::get(std::string_view subKey, std::string_view valueName) const {
    return regGetString(RegRoot::CurrentUser, subKey, valueName);
}

std::optional<SaveError> RegistrySettingsStore::save(std::string_view subKey,
                                                     std::string_view valueName,
                                                     std::string_view data) {
    return regTrySaveString(RegRoot::CurrentUser, subKey, valueName, data);
}

void RegistrySettingsStore::remove(std::string_view subKey, std::string_view valueName) {
    regDeleteValue(RegRoot::CurrentUser, subKey, valueName);
}

bool FileSystemFolders::exists(const std::string& folder) const {
    return PathExists(folder);
}

std::string FileSystemFolders::current() const {
    return currentFolder();
}

void DesktopAutostart::set(bool on) {
    setAutostart(on, executable_);
}

} // namespace quillarbor
