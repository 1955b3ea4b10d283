#include "app/run_at_logon.h"
#include "app/startup_rules.h"
#include "rotation/skins.h"
#include "settings/ansi_win.h"
#include "settings/key_value.h"
#include "settings/registry.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

using namespace quillarbor;

namespace {

constexpr const char* kTestRoot = "Software\\QuillarborTest";

// Every test works below a test-only key that is removed again afterwards.
class WindowsRegistry : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }

    static std::string sub(const char* rest) { return std::string(kTestRoot) + "\\" + rest; }

    // Writes a value the way another program would, bypassing the store.
    static void plant(const std::string& key, const char* name, DWORD type, const std::string& bytes) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &h), ERROR_SUCCESS);
        RegSetValueExA(h, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(h);
    }
};

} // namespace

TEST_F(WindowsRegistry, TextIsStoredWithoutItsNulAndReadsBackExactly) {
    const std::string key = sub("path");
    for (const std::string text : {"C:\\Skins\\a.bmp", " ", "caf\xC3\xA9.bmp"}) {
        SCOPED_TRACE(text);
        regSaveString(RegRoot::CurrentUser, key, "String", text);
        EXPECT_EQ(regGetString(RegRoot::CurrentUser, key, "String"), text);
    }
}

TEST_F(WindowsRegistry, ValuesWrittenByOtherProgramsReadAsTheSpecialCasesSay) {
    plant(sub("path"), "String", REG_SZ, std::string("C:\\a.bmp\0", 9));
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("path"), "String"), "C:\\a.bmp");
    plant(sub("delay"), "String", REG_DWORD, std::string("\x05\0\0\0", 4));
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("delay"), "String"), "");
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("nowhere"), "String"), "");
}

TEST_F(WindowsRegistry, WritingUnderAMissingParentCreatesBothKeys) {
    regSaveString(RegRoot::CurrentUser, sub("Quillarbor\\path"), "String", "C:\\Skins");
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, sub("Quillarbor").c_str(), 0, KEY_READ, &h),
              ERROR_SUCCESS);
    RegCloseKey(h);
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("Quillarbor\\path"), "String"), "C:\\Skins");
}

TEST_F(WindowsRegistry, DeletingRemovesAValueAndAMissingOneIsHarmless) {
    regSaveString(RegRoot::CurrentUser, sub("Run"), "Quillarbor", "C:\\Q\\Quillarbor.exe");
    regDeleteValue(RegRoot::CurrentUser, sub("Run"), "Quillarbor");
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("Run"), "Quillarbor"), "");
    regDeleteValue(RegRoot::CurrentUser, sub("Run"), "Quillarbor");
    regDeleteValue(RegRoot::CurrentUser, sub("missing"), "Quillarbor");
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("Run"), "Quillarbor"), "");
}

TEST_F(WindowsRegistry, GetKeyValueFollowsTheTrimSizeAndTypeRules) {
    std::string value = "previous";
    EXPECT_FALSE(GetKeyValue(RegRoot::CurrentUser, sub("missing"), "PATH", value));
    EXPECT_EQ(value, "");

    plant(sub("info"), "PATH", REG_SZ, std::string("C:\\Tools\\info.exe\0", 18));
    EXPECT_TRUE(GetKeyValue(RegRoot::CurrentUser, sub("info"), "PATH", value));
    EXPECT_EQ(value, "C:\\Tools\\info.exe");

    plant(sub("info"), "PATH", REG_SZ, std::string("ab\0\0", 4));
    EXPECT_TRUE(GetKeyValue(RegRoot::CurrentUser, sub("info"), "PATH", value));
    EXPECT_EQ(value, std::string("ab\0", 3));

    plant(sub("info"), "PATH", REG_SZ, std::string(1100, 'p'));
    EXPECT_FALSE(GetKeyValue(RegRoot::CurrentUser, sub("info"), "PATH", value));

    value = "previous";
    plant(sub("info"), "PATH", REG_EXPAND_SZ, std::string("%WINDIR%\\x.exe\0", 15));
    EXPECT_TRUE(GetKeyValue(RegRoot::CurrentUser, sub("info"), "PATH", value));
    EXPECT_EQ(value, "previous");
}

TEST(WindowsPaths, FoldersJoinWithABackslash) {
    EXPECT_EQ(addSlash("C:\\Skins"), "C:\\Skins\\");
    EXPECT_EQ(addSlash("C:\\"), "C:\\");
    EXPECT_EQ(addSlash(""), "\\");
    EXPECT_EQ(runEntryCommand("C:\\Apps\\Skin Tool"), "\"C:\\Apps\\Skin Tool\\Quillarbor.exe\"");
    EXPECT_EQ(runEntryCommand("D:\\"), "D:\\Quillarbor.exe");
    EXPECT_FALSE(runningExecutable().empty());
}

TEST(WindowsPaths, PathExistsIsAPlainFolderTest) {
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    EXPECT_TRUE(PathExists(windows));
    EXPECT_TRUE(PathExists("C:\\"));
    EXPECT_FALSE(PathExists(runningExecutable()));
    EXPECT_FALSE(PathExists("C:\\no\\such\\folder"));
    EXPECT_FALSE(PathExists(""));
}

TEST_F(WindowsRegistry, TextTheCodePageCannotHoldIsNeverStoredAsGarbage) {
    const std::string emoji = "C:\\Skins\\\xF0\x9F\x98\x80.bmp";
    if (GetACP() == CP_UTF8) {
        GTEST_SKIP() << "the code page is UTF-8: every text is representable";
    }
    EXPECT_FALSE(ansi::fromUtf8(emoji).has_value());
    EXPECT_FALSE(ansi::fromUtf8("\xFF\xFE not UTF-8").has_value());
    const auto cafe = ansi::fromUtf8("caf\xC3\xA9");
    ASSERT_TRUE(cafe.has_value());
    EXPECT_EQ(ansi::toUtf8(*cafe), "caf\xC3\xA9");

    regSaveString(RegRoot::CurrentUser, sub("Toolbar"), "BackBitmapIE5", "C:\\Skins\\old.bmp");
    regSaveString(RegRoot::CurrentUser, sub("Toolbar"), "BackBitmapIE5", emoji);
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("Toolbar"), "BackBitmapIE5"),
              "C:\\Skins\\old.bmp")
        << "the previous value stays rather than a path that names no file";
}
