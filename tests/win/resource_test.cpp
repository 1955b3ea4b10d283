// The program's resource script is compiled into this executable too; these tests read the
// version information and the icon back out of it with the calls the Windows shell uses.

#include "version.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

using namespace quillarbor;

namespace {

std::wstring ownPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The texts compared here are ASCII apart from the copyright sign.
std::wstring widen(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += c < 128 ? static_cast<char>(c) : '?';
    }
    return out;
}

// Two 16-bit halves as the fixed version information stores them.
DWORD halves(int high, int low) {
    return static_cast<DWORD>(high) << 16 | static_cast<DWORD>(low);
}

// The version numbers as the resource must carry them: major.minor.0.revision.
std::string fileVersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + ".0." +
           std::to_string(kVersionRevision);
}

class VersionInfo : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring path = ownPath();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version information in the executable";
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    }

    // A string value, looked up under the first language the Translation value lists, as
    // Explorer's property page does.
    std::wstring text(const std::wstring& name) const {
        void* data = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length) ||
            length < 4) {
            ADD_FAILURE() << "no Translation value";
            return {};
        }
        const auto* translation = static_cast<const WORD*>(data);
        wchar_t language[9];
        std::swprintf(language, 9, L"%04x%04x", translation[0], translation[1]);
        const std::wstring key = L"\\StringFileInfo\\" + std::wstring(language) + L"\\" + name;
        if (!VerQueryValueW(block.data(), key.c_str(), &data, &length) || length == 0) {
            return {};
        }
        return static_cast<const wchar_t*>(data);
    }

    std::vector<char> block;
};

// One image of the icon as the group directory lists it.
struct IconEntry {
    int width, height, colours, bits;
    std::uint16_t id;
};

std::vector<IconEntry> iconGroup() {
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
    if (found == nullptr) {
        return {};
    }
    const auto* dir = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
    const DWORD size = SizeofResource(nullptr, found);
    const auto word = [dir](std::size_t at) {
        return static_cast<std::uint16_t>(dir[at] | dir[at + 1] << 8);
    };
    std::vector<IconEntry> entries;
    // GRPICONDIR: three words, then 14-byte entries.
    for (std::size_t i = 0; i < word(4) && 6 + 14 * (i + 1) <= size; ++i) {
        const std::uint8_t* e = dir + 6 + 14 * i;
        entries.push_back({e[0] == 0 ? 256 : e[0], e[1] == 0 ? 256 : e[1], e[2],
                           word(6 + 14 * i + 6), word(6 + 14 * i + 12)});
    }
    return entries;
}

} // namespace

TEST_F(VersionInfo, NumbersComeFromTheProjectVersion) {
    void* data = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &data, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    EXPECT_EQ(fixed->dwSignature, 0xfeef04bdu);
    EXPECT_EQ(fixed->dwFileVersionMS, halves(kVersionMajor, kVersionMinor));
    EXPECT_EQ(fixed->dwFileVersionLS, halves(0, kVersionRevision));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionInfo, TextsNameTheProgramAndItsVersion) {
    const std::pair<const wchar_t*, std::wstring> expected[] = {
        {L"FileVersion", widen(fileVersionText())},
        {L"ProductVersion", widen(kVersionText)},
        {L"ProductName", widen(kAppTitle)},
        {L"InternalName", widen(kAppTitle)},
        {L"OriginalFilename", widen(kAppTitle) + L".exe"},
        // The same notice as the About box; the sign must survive the resource compiler.
        {L"LegalCopyright", L"Copyright \u00a9 2026 the Quillarbor developers."},
    };
    for (const auto& [name, value] : expected) {
        EXPECT_EQ(text(name), value) << narrow(name);
    }
    for (const wchar_t* name : {L"CompanyName", L"FileDescription"}) {
        EXPECT_FALSE(text(name).empty()) << narrow(name);
    }
}

TEST(ProgramIcon, HoldsSixteenAndTwoHundredFiftySixColourImagesAndLargerOnesForHighDpi) {
    std::set<std::pair<int, int>> sizesAndBits;
    for (const IconEntry& entry : iconGroup()) {
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.colours, entry.bits == 4 ? 16 : 0) << entry.width << " px, " << entry.bits;
        sizesAndBits.insert({entry.width, entry.bits});
    }
    const std::set<std::pair<int, int>> wanted = {{16, 4}, {16, 8}, {24, 8}, {32, 4},
                                                  {32, 8}, {48, 8}, {64, 8}};
    EXPECT_EQ(sizesAndBits, wanted);
}

// Each image must be a palette bitmap the system accepts, and every pixel the mask makes
// transparent must be black in the colour bitmap, or it would show up inverted on screen.
TEST(ProgramIcon, ImagesAreValidWithBlackBehindTheMask) {
    const std::vector<IconEntry> entries = iconGroup();
    ASSERT_FALSE(entries.empty());
    for (const IconEntry& entry : entries) {
        SCOPED_TRACE(std::to_string(entry.width) + " px, " + std::to_string(entry.bits) + " bits");
        const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(entry.id), RT_ICON);
        ASSERT_NE(found, nullptr);
        auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(nullptr, found)));
        const DWORD size = SizeofResource(nullptr, found);
        ASSERT_GE(size, sizeof(BITMAPINFOHEADER));

        BITMAPINFOHEADER header;
        std::memcpy(&header, bytes, sizeof header);
        EXPECT_EQ(header.biWidth, entry.width);
        EXPECT_EQ(header.biHeight, 2 * entry.height); // colour bitmap and mask
        EXPECT_EQ(header.biBitCount, entry.bits);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

        const std::size_t paletteSize = std::size_t{1} << entry.bits;
        const std::size_t colourRow = (entry.width * entry.bits + 31) / 32 * 4;
        const std::size_t maskRow = (entry.width + 31) / 32 * 4;
        const std::size_t colourAt = header.biSize + 4 * paletteSize;
        const std::size_t maskAt = colourAt + colourRow * entry.height;
        ASSERT_EQ(size, maskAt + maskRow * entry.height);

        int transparent = 0, notBlack = 0;
        for (int y = 0; y < entry.height; ++y) {
            for (int x = 0; x < entry.width; ++x) {
                if (!(bytes[maskAt + y * maskRow + x / 8] & (0x80 >> (x % 8)))) {
                    continue;
                }
                ++transparent;
                const std::uint8_t packed = bytes[colourAt + y * colourRow + x * entry.bits / 8];
                const int index = entry.bits == 8 ? packed : (x % 2 ? packed & 15 : packed >> 4);
                const BYTE* rgb = bytes + header.biSize + 4 * index;
                if (rgb[0] | rgb[1] | rgb[2]) {
                    ++notBlack;
                }
            }
        }
        EXPECT_EQ(notBlack, 0) << "transparent pixels that are not black";
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, entry.width * entry.height);

        const HICON icon = CreateIconFromResourceEx(bytes, size, TRUE, 0x00030000, entry.width,
                                                    entry.height, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr);
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}
