#include "support/temp_config.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

void unsetEnv(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

} // namespace

TempConfig::TempConfig() {
    std::random_device rd;
    root_ = fs::temp_directory_path() / ("quillarbor-test-" + std::to_string(rd()));
    fs::create_directories(root_ / "config");
    fs::create_directories(root_ / "xdg");
    if (const char* v = std::getenv("XDG_CONFIG_HOME")) {
        hadHome_ = true;
        oldHome_ = v;
    }
    if (const char* v = std::getenv("XDG_CONFIG_DIRS")) {
        hadDirs_ = true;
        oldDirs_ = v;
    }
    setEnv("XDG_CONFIG_HOME", (root_ / "config").string());
    setEnv("XDG_CONFIG_DIRS", (root_ / "xdg").string());
}

TempConfig::~TempConfig() {
    hadHome_ ? setEnv("XDG_CONFIG_HOME", oldHome_) : unsetEnv("XDG_CONFIG_HOME");
    hadDirs_ ? setEnv("XDG_CONFIG_DIRS", oldDirs_) : unsetEnv("XDG_CONFIG_DIRS");
    std::error_code ec;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(root_, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(root_, ec);
}

std::string TempConfig::readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void TempConfig::writeFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}
