#pragma once

#include <filesystem>
#include <string>

// Points XDG_CONFIG_HOME and XDG_CONFIG_DIRS at a fresh temporary folder for the
// life of the object, so no test touches the user's real settings.
class TempConfig {
public:
    TempConfig();
    ~TempConfig();
    TempConfig(const TempConfig&) = delete;
    TempConfig& operator=(const TempConfig&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path userStore() const { return root_ / "config" / "quillarbor" / "user.reg"; }
    std::filesystem::path machineDir() const { return root_ / "xdg"; }

    static std::string readFile(const std::filesystem::path& file);
    static void writeFile(const std::filesystem::path& file, const std::string& text);

private:
    std::filesystem::path root_;
    std::string oldHome_, oldDirs_;
    bool hadHome_ = false, hadDirs_ = false;
};
