#include "app/drives.h"
#include "app/startup_rules.h"

#include "rotation/path_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace quillarbor;
namespace fs = std::filesystem;

namespace {

TEST(CommandLine, JoinedAndUpperCased) {
    const struct {
        std::vector<std::string> args;
        std::string line;
        bool oneShot;
    } cases[] = {
        {{}, "", false},
        {{"/o"}, "/O", true},
        {{"/O"}, "/O", true},
        {{"-x", "/O", "-y"}, "-X /O -Y", true},
        {{"-x/oy"}, "-X/OY", true},
        {{"/", "o"}, "/ O", false},
        {{"/p", "o"}, "/P O", false},
        {{"a b", "c"}, "A B C", false},
        {{"\xC3\xA9t\xC3\xA9"}, "\xC3\xA9T\xC3\xA9", false}, // only ASCII letters change
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string line = captureCommandLine(c.args);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(isOneShot(line), c.oneShot);
    }
    EXPECT_FALSE(isOneShot("/o")); // the rule reads the upper-cased line
}

TEST(CommandLine, InformationOptionsBeforeTheWindow) {
    const struct {
        std::vector<std::string> args;
        CliAction action;
    } cases[] = {
        {{}, CliAction::Run},
        {{"/O"}, CliAction::Run},
        {{"--help"}, CliAction::Help},
        {{"-h"}, CliAction::Help},
        {{"--version"}, CliAction::Version},
        {{"/o", "--version"}, CliAction::Version},
        {{"--version", "--help"}, CliAction::Version}, // the first one decides
        {{"-h", "--version"}, CliAction::Help},
        {{"--bogus", "-x"}, CliAction::Run}, // unknown options start the program
        {{"--HELP"}, CliAction::Run},        // options are exact, unlike /O
        {{"--help=1"}, CliAction::Run},
        {{"-help"}, CliAction::Run},
        {{"--versions"}, CliAction::Run},
        {{"-H"}, CliAction::Run},
        {{"/?"}, CliAction::Run},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& arg : c.args) {
            shown += arg + " ";
        }
        SCOPED_TRACE(shown);
        EXPECT_EQ(parseCommandLine(c.args), c.action);
    }
}

class TempFolder : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = fs::temp_directory_path() /
                  ("quillarbor-start-" + std::to_string(stamp) + "-" + std::to_string(++counter));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    static std::string text(const fs::path& path) { return textFromPath(path).value(); }

    fs::path folder_;
};

TEST_F(TempFolder, PathExistsOnlyForFolders) {
    std::ofstream(folder_ / "file.bmp") << "BM";
    const std::string utf8Name = "Skins \xC3\xA9t\xC3\xA9";
    fs::create_directory(*pathFromText(text(folder_) + std::string(1, '/') + utf8Name));
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {text(folder_), true},
        {text(folder_) + "/", true},
        {text(folder_ / "file.bmp"), false},
        {text(folder_ / "missing"), false},
        {text(folder_ / "file.bmp" / "below"), false},
        {text(folder_) + "/" + utf8Name, true},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathExists(c.path), c.exists);
    }
}

TEST_F(TempFolder, PathExistsFollowsLinks) {
    fs::create_directory(folder_ / "real");
    std::error_code error;
    fs::create_directory_symlink(folder_ / "real", folder_ / "link", error);
    if (error) {
        GTEST_SKIP() << "symbolic links not available: " << error.message();
    }
    fs::create_directory_symlink(folder_ / "gone", folder_ / "dangling");
    EXPECT_TRUE(PathExists(text(folder_ / "link")));
    EXPECT_FALSE(PathExists(text(folder_ / "dangling")));
}

TEST(MountPoints, RealFileSystemsOnceAndSorted) {
    const std::string mounts = "sysfs /sys sysfs rw,nosuid 0 0\n"
                               "proc /proc proc rw 0 0\n"
                               "udev /dev devtmpfs rw 0 0\n"
                               "devpts /dev/pts devpts rw 0 0\n"
                               "tmpfs /run tmpfs rw 0 0\n"
                               "/dev/sda1 / ext4 rw 0 0\n"
                               "securityfs /sys/kernel/security securityfs rw 0 0\n"
                               "tmpfs /dev/shm tmpfs rw 0 0\n"
                               "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                               "/dev/sda2 /home ext4 rw 0 0\n"
                               "tmpfs /tmp tmpfs rw 0 0\n"
                               "/dev/sdb1 /media/user/My\\040Disk vfat rw 0 0\n"
                               "/dev/sdc1 /run/media/user/USB exfat rw 0 0\n"
                               "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                               "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n"
                               "/dev/sda2 /home ext4 rw 0 0\n"
                               "systemd-1 /proc/sys/fs/binfmt_misc autofs rw 0 0\n"
                               "overlay /var/lib/docker/overlay2/x/merged overlay rw 0 0\n"
                               "/dev/sdd1 /mnt/back\\134slash ext4 rw 0 0\n"
                               "/dev/sde1 /mnt/tab\\011here ext4 rw 0 0\n"
                               "/dev/sdf1 /mnt/half\\04 ext4 rw 0 0\n"
                               "malformed\n"
                               "\n"
                               "/dev/sdg1 /srv xfs rw 0 0"; // no final line feed
    const std::vector<std::string> expected = {"/",
                                               "/home",
                                               "/media/user/My Disk",
                                               "/mnt/back\\slash",
                                               "/mnt/half\\04",
                                               "/mnt/tab\there",
                                               "/run/media/user/USB",
                                               "/srv",
                                               "/tmp",
                                               "/var/lib/docker/overlay2/x/merged"};
    EXPECT_EQ(parseMountPoints(mounts), expected);
    EXPECT_TRUE(parseMountPoints("").empty());
}

TEST(DriveOf, LongestDriveHoldingThePath) {
    const std::vector<std::string> mounts = {"/", "/home", "/mnt/data"};
    const std::vector<std::string> letters = {"C:\\", "D:\\"};
    const struct {
        const std::vector<std::string>* drives;
        std::string path;
        std::string drive;
    } cases[] = {
        {&mounts, "/home/u/skins", "/home"},
        {&mounts, "/home", "/home"},
        {&mounts, "/homework", "/"},
        {&mounts, "/mnt/data/", "/mnt/data"},
        {&mounts, "/mnt/database/x", "/"},
        {&mounts, "/Home/u", "/"}, // mount points keep their case
        {&mounts, "relative/path", ""},
        {&mounts, "", ""},
        {&letters, "C:\\Skins", "C:\\"},
        {&letters, "c:\\skins", "C:\\"},
        {&letters, "d:\\", "D:\\"},
        {&letters, "E:\\Skins", ""},
        {&letters, "C:", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(driveOf(c.path, *c.drives), c.drive);
    }
    EXPECT_EQ(driveOf("c:/x", {"C:"}), "C:");
    EXPECT_EQ(driveOf("C:x", {"C:"}), "");
}

TEST(ListDrives, HoldsTheCurrentFolder) {
    const auto drives = listDrives();
    ASSERT_FALSE(drives.empty());
    const std::string current = textFromPath(fs::current_path()).value();
    EXPECT_NE(driveOf(current, drives), "") << current;
}

} // namespace
