#include "settings/portable_store.h"
#include "settings/registry.h"
#include "settings/registry_backend.h"
#include "support/temp_config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace quillarbor;

namespace {

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr std::string_view kPath = "Software\\Quillarbor\\path";

ino_t inodeOf(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Runs `body` in a child process and returns its exit status; the child never
// returns into the test framework.
template <typename Body> int inChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class Store : public ::testing::Test {
protected:
    TempConfig config;
};

} // namespace

TEST_F(Store, ReadsBackExactlyWhatWasWritten) {
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "");
    const std::string texts[] = {"C:\\Skins\\a.bmp", " ", "/home/u/Bilder/\xE6\x97\xA5\xE6\x9C\xAC.bmp",
                                 "quote \" and \\ backslash", ""};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        regSaveString(HKCU, kPath, "String", text);
        EXPECT_EQ(regGetString(HKCU, kPath, "String"), text);
    }
}

TEST_F(Store, TextStoredByAnotherProgramWithItsNulReadsWithoutIt) {
    backend::writeValue(HKCU, kPath, "String", {backend::kRegSz, std::string("C:\\a.bmp\0", 9)});
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "C:\\a.bmp");
    backend::writeValue(HKCU, kPath, "String", {backend::kRegSz, std::string("ab\0cd\0", 6)});
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "ab");
}

TEST_F(Store, ValueOfAnotherTypeReadsAsEmpty) {
    backend::writeValue(HKCU, "Software\\Quillarbor\\delay", "String",
                        {backend::kRegDword, std::string("\x05\0\0\0", 4)});
    EXPECT_EQ(regGetString(HKCU, "Software\\Quillarbor\\delay", "String"), "");
    EXPECT_NE(TempConfig::readFile(config.userStore()).find("\"String\"=dword:00000005"),
              std::string::npos);
}

TEST_F(Store, WritingUnderMissingParentsCreatesThemAndNamesIgnoreCase) {
    regSaveString(HKCU, "Software\\Quillarbor\\" "path", "String", "/skins");
    const std::string text = TempConfig::readFile(config.userStore());
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Quillarbor]\n"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\n"), std::string::npos);
    EXPECT_EQ(regGetString(HKCU, "SOFTWARE\\quillarbor\\PATH", "string"), "/skins");
    EXPECT_EQ(regGetString(RegRoot::LocalMachine, kPath, "String"), "");
}

TEST_F(Store, DeletingRemovesTheValueAndAMissingOneChangesNothing) {
    regSaveString(HKCU, loc::runKey, loc::runValue, "/opt/q/Quillarbor.exe");
    regSaveString(HKCU, loc::runKey, "Other", "keep");
    regDeleteValue(HKCU, loc::runKey, loc::runValue);
    EXPECT_EQ(regGetString(HKCU, loc::runKey, loc::runValue), "");
    EXPECT_EQ(regGetString(HKCU, loc::runKey, "Other"), "keep");

    const ino_t before = inodeOf(config.userStore());
    regDeleteValue(HKCU, loc::runKey, loc::runValue);
    regDeleteValue(HKCU, "Software\\Nowhere", "x");
    regSaveString(HKCU, loc::runKey, "Other", "keep");
    EXPECT_EQ(inodeOf(config.userStore()), before) << "an unchanged store must not be rewritten";
}

TEST_F(Store, DamagedFileIsKeptAsideOnceAndTheStoreStartsEmpty) {
    const std::string garbage = "\x01\x02 not a settings file\n";
    TempConfig::writeFile(config.userStore(), garbage);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "");
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(TempConfig::readFile(config.userStore().string() + ".bad"), garbage);

    regSaveString(HKCU, kPath, "String", "/new");
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "/new");

    // A second damaged file goes beside the first, never over it.
    TempConfig::writeFile(config.userStore(), "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"x\"=\"cut");
    ::testing::internal::CaptureStderr();
    regSaveString(HKCU, kPath, "String", "/newer");
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(TempConfig::readFile(config.userStore().string() + ".bad"), garbage);
    EXPECT_TRUE(fs::exists(config.userStore().string() + ".bad.1"));
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "/newer");
}

TEST_F(Store, FailedWritesKeepTheOldFileWholeAndTheProcessRunning) {
    regSaveString(HKCU, kPath, "String", "/old");
    const std::string before = TempConfig::readFile(config.userStore());
    const fs::path dir = config.userStore().parent_path();

    // A read-only folder; root ignores permissions, so the child gives them up.
    const int readOnly = inChild([&] {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        regSaveString(HKCU, kPath, "String", "/new");
    });
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(readOnly, 0);
    EXPECT_EQ(TempConfig::readFile(config.userStore()), before);

    // A full disk: the file-size limit makes the write fail part way.
    const int full = inChild([&] {
        struct rlimit limit {16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        regSaveString(HKCU, kPath, "String", std::string(4096, 'x'));
        ::_exit(regGetString(HKCU, kPath, "String") == "/old" ? 0 : 1);
    });
    EXPECT_EQ(full, 0);
    EXPECT_EQ(TempConfig::readFile(config.userStore()), before);
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_NE(entry.path().filename(), "user.reg.tmp")
            << "temporary file left behind: " << entry.path();
    }
}

TEST_F(Store, SymbolicLinkIsFollowedAndItsTargetReplaced) {
    const fs::path target = config.root() / "elsewhere" / "settings.reg";
    fs::create_directories(target.parent_path());
    fs::create_directories(config.userStore().parent_path());
    fs::create_symlink(target, config.userStore());
    regSaveString(HKCU, kPath, "String", "/via-link");
    EXPECT_TRUE(fs::is_symlink(config.userStore()));
    EXPECT_NE(TempConfig::readFile(target).find("/via-link"), std::string::npos);
    EXPECT_EQ(regGetString(HKCU, kPath, "String"), "/via-link");
}

TEST_F(Store, MachineValuesAreReadAlongTheConfigDirsAndNeverWritten) {
    const fs::path second = config.root() / "xdg2";
    setenv("XDG_CONFIG_DIRS", (config.machineDir().string() + ":" + second.string()).c_str(), 1);
    TempConfig::writeFile(second / "quillarbor" / "machine.reg",
                          "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                          "\"PATH\"=\"/usr/bin/sysinfo\"\n");
    EXPECT_EQ(regGetString(RegRoot::LocalMachine, loc::msinfoKey, loc::msinfoValue),
              "/usr/bin/sysinfo");
    ::testing::internal::CaptureStderr();
    regSaveString(RegRoot::LocalMachine, loc::msinfoKey, loc::msinfoValue, "/evil");
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(regGetString(RegRoot::LocalMachine, loc::msinfoKey, loc::msinfoValue),
              "/usr/bin/sysinfo");
}

TEST(StoreKeyPath, DropsEmptyComponents) {
    EXPECT_EQ(storeKeyPath(RegRoot::CurrentUser, "Software\\Quillarbor\\"),
              "HKEY_CURRENT_USER\\Software\\Quillarbor");
    EXPECT_EQ(storeKeyPath(RegRoot::LocalMachine, "\\A\\\\B"), "HKEY_LOCAL_MACHINE\\A\\B");
}
