#include "app/run_at_logon.h"
#include "app/startup_rules.h"
#include "rotation/skins.h"
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
    static void plant(const std::string& key, const char* name, DWORD type,
                      const std::string& bytes) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &h), ERROR_SUCCESS);
        RegSetValueExA(h, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(h);
    }
};

} // namespace

TEST_F(WindowsRegistry, TextInAnyScriptIsStoredAsUtf16AndReadsBackExactly) {
    const std::string key = sub("path");
    // Latin, Cyrillic, a snowman, CJK and an emoji beyond the basic plane.
    for (const std::string text :
         {"C:\\Skins\\a.bmp", " ", "caf\xC3\xA9.bmp",
          "C:\\\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0", "snow \xE2\x98\x83 \xD0\xB6.bmp",
          "\xE7\x9A\xAE\xE8\x82\xA4\\\xF0\x9F\x98\x80.bmp"}) {
        SCOPED_TRACE(text);
        regSaveString(RegRoot::CurrentUser, key, "String", text);
        EXPECT_EQ(regGetString(RegRoot::CurrentUser, key, "String"), text);
    }
    // What another reader of the registry sees: the UTF-16 text with its terminating NUL.
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuillarborTest\\path", 0, KEY_READ, &h),
              ERROR_SUCCESS);
    wchar_t stored[64] = {};
    DWORD size = sizeof stored;
    DWORD type = 0;
    const LONG rc =
        RegQueryValueExW(h, L"String", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
    RegCloseKey(h);
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(stored, size / sizeof(wchar_t)),
              std::wstring(L"\x76AE\x80A4\\\xD83D\xDE00.bmp") + L'\0');
}

TEST_F(WindowsRegistry, TextWrittenThroughTheCodePageReadsBackAsItsCharacters) {
    // Earlier versions wrote through the code-page calls; the registry kept UTF-16 even then.
    char ansi[64] = {};
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"C:\\caf\xE9.bmp", -1, ansi,
                                      sizeof ansi, nullptr, &lossy);
    if (n <= 0 || lossy) {
        GTEST_SKIP() << "the code page has no e with an acute accent";
    }
    plant(sub("path"), "String", REG_SZ, std::string(ansi, static_cast<std::size_t>(n)));
    EXPECT_EQ(regGetString(RegRoot::CurrentUser, sub("path"), "String"), "C:\\caf\xC3\xA9.bmp");
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
