#include "rotation/skins.h"

#include "app/skin_folder.h"

#include "rotation/folder_files.h"
#include "rotation/path_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace quillarbor;
namespace fs = std::filesystem;

namespace {

const std::string sep(1, kFolderSeparator);

TEST(AddSlash, AppendsOneSeparatorOnlyWhenMissing) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"", sep},
        {"C:" + sep, "C:" + sep},
        {"C:" + sep + "Skins", "C:" + sep + "Skins" + sep},
        {"skins" + sep, "skins" + sep},
        {"a b", "a b" + sep},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(addSlash(c.in), c.out);
    }
    EXPECT_EQ(addSlash("C:" + sep) + "a.bmp", "C:" + sep + "a.bmp");
}

TEST(SkinPattern, EndsInBmpInAnyCase) {
    const struct {
        const char* name;
        bool matches;
    } cases[] = {
        {"a.bmp", true},   {"A.BMP", true},      {"sunset.Bmp", true}, {".bmp", true},
        {"a b.bmp", true}, {"a.bmp.txt", false}, {"abmp", false},      {"a.bm", false},
        {"a.bmpx", false}, {"bmp", false},       {"", false},          {"a.dib", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(matchesSkinPattern(c.name), c.matches);
    }
}

TEST(PickIndex, SinglePrecisionRoundedHalfToEven) {
    const struct {
        int n;
        float r;
        int index;
    } cases[] = {
        {1, 0.0f, 0},
        {1, 0.99f, 0},
        {3, 0.0f, 0},
        {3, 0.25f, 0}, // x = 0.5
        {3, 0.5f, 1},
        {3, 0.75f, 2}, // x = 1.5
        {3, 0.9999999f, 2},
        {2, 0.5f, 0}, // x = 0.5
        {2, 0.75f, 1},
        {4, 0.5f, 2},   // x = 1.5
        {5, 0.625f, 2}, // x = 2.5
        // 5 * r is exactly a half in single precision but not in double.
        {6, 0.1f, 0},
        {6, 0.7f, 4},
        {16, 0.3f, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "n=" << c.n << " r=" << c.r);
        EXPECT_EQ(pickIndex(c.n, c.r), c.index);
    }
}

TEST(PickIndex, AlwaysNamesAnEntry) {
    const float extremes[] = {0.0f, 0.99999994f, -0.5f, 1.0f, 7.0f};
    for (const int n : {1, 2, 3, 100, 16777217, 2147483647}) {
        for (const float r : extremes) {
            SCOPED_TRACE(testing::Message() << "n=" << n << " r=" << r);
            const int index = pickIndex(n, r);
            EXPECT_GE(index, 0);
            EXPECT_LT(index, n);
        }
    }
}

TEST(LastShownCaption, PrefixesTheFileName) {
    EXPECT_EQ(lastShownCaption("a.bmp"), "Last shown: a.bmp");
    EXPECT_EQ(lastShownCaption(""), "Last shown: ");
}

TEST(SkinNameLess, IgnoresCaseThenBytesDecide) {
    std::vector<std::string> names = {"b.bmp",  "C.bmp", "a.bmp",
                                      "ab.bmp", "A.bmp", "_x.bmp",
                                      "a.BMP",  "z.bmp", "\xC3\xA9t\xC3\xA9.bmp"};
    std::sort(names.begin(), names.end(), skinNameLess);
    const std::vector<std::string> expected = {"_x.bmp", "A.bmp",  "a.BMP",
                                               "a.bmp",  "ab.bmp", "b.bmp",
                                               "C.bmp",  "z.bmp",  "\xC3\xA9t\xC3\xA9.bmp"};
    EXPECT_EQ(names, expected);
    for (const auto& name : names) {
        EXPECT_FALSE(skinNameLess(name, name)) << name;
    }
}

class SkinFolderOnDisk : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = fs::temp_directory_path() /
                  ("quillarbor-skins-" + std::to_string(stamp) + "-" + std::to_string(++counter));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void touch(const std::string& name) { std::ofstream(folder_ / name) << "BM"; }
    static std::string text(const fs::path& path) { return textFromPath(path).value(); }
    std::string folderText() const { return text(folder_); }

    fs::path folder_;
};

TEST_F(SkinFolderOnDisk, ListsBitmapFilesSortedIgnoringCase) {
    touch("b.bmp");
    touch("A.BMP");
    touch("c.Bmp");
    touch("notes.bmp.txt");
    touch("readme.txt");
    fs::create_directory(folder_ / "x.bmp");
    const std::vector<std::string> expected = {"A.BMP", "b.bmp", "c.Bmp"};
    EXPECT_EQ(listSkinFiles(folderText()), expected);
    EXPECT_EQ(listSkinFiles(addSlash(folderText())), expected);
}

TEST_F(SkinFolderOnDisk, SeesFilesAddedSinceTheLastRead) {
    touch("a.bmp");
    EXPECT_EQ(listSkinFiles(folderText()).size(), 1u);
    touch("b.bmp");
    EXPECT_EQ(listSkinFiles(folderText()), (std::vector<std::string>{"a.bmp", "b.bmp"}));
}

TEST_F(SkinFolderOnDisk, FollowsLinksToFilesOnly) {
    touch("real.bmp");
    fs::create_directory(folder_ / "sub");
    std::error_code error;
    fs::create_symlink(folder_ / "real.bmp", folder_ / "link.bmp", error);
    if (error) {
        GTEST_SKIP() << "symbolic links not available: " << error.message();
    }
    fs::create_symlink(folder_ / "missing.bmp", folder_ / "dangling.bmp");
    fs::create_directory_symlink(folder_ / "sub", folder_ / "dir.bmp");
    EXPECT_EQ(listSkinFiles(folderText()), (std::vector<std::string>{"link.bmp", "real.bmp"}));
}

TEST_F(SkinFolderOnDisk, KeepsRawByteNames) {
#ifdef _WIN32
    GTEST_SKIP() << "names are UTF-16 on this platform";
#else
    const std::string latin1 = "caf\xE9.bmp"; // not valid UTF-8
    const std::string utf8 = "\xC3\xA9t\xC3\xA9.bmp";
    std::ofstream(folder_ / latin1) << "BM";
    std::ofstream(folder_ / utf8) << "BM";
    if (!fs::exists(folder_ / latin1)) {
        GTEST_SKIP() << "file system refuses non-UTF-8 names";
    }
    EXPECT_EQ(listSkinFiles(folderText()), (std::vector<std::string>{latin1, utf8}));
#endif
}

TEST_F(SkinFolderOnDisk, MissingOrNonFolderGivesAnEmptyList) {
    touch("a.bmp");
    EXPECT_TRUE(listSkinFiles(text(folder_ / "missing")).empty());
    EXPECT_TRUE(listSkinFiles(text(folder_ / "a.bmp")).empty());
    EXPECT_TRUE(listSkinFiles("").empty());
    fs::create_directory(folder_ / "empty");
    EXPECT_TRUE(listSkinFiles(text(folder_ / "empty")).empty());
}

// The sub-folders a folder's listing gives; nullopt when it cannot be read.
std::optional<std::vector<std::string>> listSubFolders(const std::string& folder) {
    auto listing = listFolder(folder, nullptr);
    return listing ? std::optional(std::move(listing->subFolders)) : std::nullopt;
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(SkinFolderOnDisk, SubFoldersHiddenOnesIncludedFilesLeftOut) {
    for (const char* name : {"b", "A", ".hidden", "x.bmp", "deep"}) {
        fs::create_directory(folder_ / name);
    }
    fs::create_directory(folder_ / "deep" / "deeper");
    touch("a.bmp");
    touch("notes");
    const std::vector<std::string> expected = {".hidden", "A", "b", "deep", "x.bmp"};
    EXPECT_EQ(sorted(listSubFolders(folderText()).value()), expected);
    EXPECT_EQ(sorted(listSubFolders(addSlash(folderText())).value()), expected);
}

TEST_F(SkinFolderOnDisk, SubFoldersFollowLinksToFolders) {
    fs::create_directory(folder_ / "real");
    touch("file.bmp");
    std::error_code error;
    fs::create_directory_symlink(folder_ / "real", folder_ / "linked", error);
    if (error) {
        GTEST_SKIP() << "symbolic links not available: " << error.message();
    }
    fs::create_symlink(folder_ / "file.bmp", folder_ / "to-file");
    fs::create_directory_symlink(folder_ / "gone", folder_ / "dangling");
    EXPECT_EQ(sorted(listSubFolders(folderText()).value()),
              (std::vector<std::string>{"linked", "real"}));
}

TEST_F(SkinFolderOnDisk, SubFoldersOfNoFolderAreNoneOfAnEmptyOneAnEmptyList) {
    touch("a.bmp");
    fs::create_directory(folder_ / "empty");
    EXPECT_EQ(listSubFolders(text(folder_ / "empty")), std::vector<std::string>());
    EXPECT_FALSE(listSubFolders(text(folder_ / "missing")));
    EXPECT_FALSE(listSubFolders(text(folder_ / "a.bmp")));
    EXPECT_FALSE(listSubFolders(""));
}

TEST_F(SkinFolderOnDisk, SubFoldersKeepRawByteNames) {
#ifdef _WIN32
    GTEST_SKIP() << "names are UTF-16 on this platform";
#else
    const std::string latin1 = "caf\xE9"; // not valid UTF-8
    std::error_code error;
    if (!fs::create_directory(folder_ / latin1, error)) {
        GTEST_SKIP() << "file system refuses non-UTF-8 names";
    }
    EXPECT_EQ(listSubFolders(folderText()), std::vector<std::string>{latin1});
#endif
}

// Names that agree for 7, 8, 9, 15, 16 and 17 bytes, or differ only in letter
// case, where a sort that looks at the first bytes first must still agree with
// skinNameLess.
TEST_F(SkinFolderOnDisk, LargeListsSortAsSkinNameLess) {
    std::vector<std::string> names;
    for (const std::string stem :
         {"a", "abcdefg", "abcdefgh", "ABCDEFGHI", "abcdefghijklmno", "abcdefghijklmnop",
          "AbcdefghijklmnoP", "abcdefghijklmnopq", "abcdefghijklmnopqrstuvwxyz", "_", "z"}) {
        for (const std::string tail : {"", "0", "1", "Z", "z", "~", "\xC3\xA9"}) {
            for (const std::string ext : {".bmp", ".BMP"}) {
                names.push_back(stem + tail + ext);
            }
        }
    }
    for (const auto& name : names) {
        touch(name);
    }
    if (listSkinFiles(folderText()).size() != names.size()) {
        GTEST_SKIP() << "the file system folds letter case or refuses some names";
    }
    std::sort(names.begin(), names.end(), skinNameLess);
    EXPECT_EQ(listSkinFiles(folderText()), names);
}

TEST_F(SkinFolderOnDisk, RereadTellsWhetherTheListChanged) {
    touch("b.bmp");
    touch("a.bmp");
    const std::optional<SkinList> first = SkinList().reread(folderText());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->names(), listSkinFiles(folderText()));
    EXPECT_FALSE(first->reread(folderText())) << "nothing changed";

    touch("notes.txt");
    EXPECT_FALSE(first->reread(folderText())) << "a file the pattern skips";

    touch("C.bmp");
    const std::optional<SkinList> added = first->reread(folderText());
    ASSERT_TRUE(added);
    EXPECT_EQ(added->names(), (std::vector<std::string>{"a.bmp", "b.bmp", "C.bmp"}));

    fs::remove(folder_ / "a.bmp");
    fs::rename(folder_ / "b.bmp", folder_ / "d.bmp");
    const std::optional<SkinList> renamed = added->reread(folderText());
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->names(), (std::vector<std::string>{"C.bmp", "d.bmp"}));
    EXPECT_FALSE(renamed->reread(folderText()));
    // A selection follows its name across the re-read, and is lost with it.
    EXPECT_EQ(added->find("C.bmp"), 2u);
    EXPECT_EQ(renamed->find("C.bmp"), 0u);
    EXPECT_EQ(renamed->find("c.bmp"), std::nullopt);
    EXPECT_EQ(renamed->find("b.bmp"), std::nullopt);
}

TEST_F(SkinFolderOnDisk, RereadOfAnotherFolderOrNoFolder) {
    touch("a.bmp");
    fs::create_directory(folder_ / "other");
    std::ofstream(folder_ / "other" / "z.bmp") << "BM";
    const SkinList list = SkinList().reread(folderText()).value();
    EXPECT_EQ(list.reread(text(folder_ / "other")).value().names(),
              std::vector<std::string>{"z.bmp"});
    EXPECT_TRUE(list.reread(text(folder_ / "missing")).value().names().empty());
    EXPECT_FALSE(SkinList().reread(text(folder_ / "missing"))) << "empty stays empty";
}

std::vector<std::string> testDrives; // what the choosers' drive list shows

TEST_F(SkinFolderOnDisk, ChoosersFollowTheFolderAndItsDrive) {
    for (const char* name : {"skins/b", "skins/.Hidden", "skins/A", "other"}) {
        fs::create_directories(folder_ / name);
    }
    for (const char* name : {"skins/b.bmp", "skins/A.bmp", "other/z.bmp"}) {
        touch(name);
    }
    const std::string root = folderText(), skins = text(folder_ / "skins");
    testDrives = {root, text(folder_ / "other"), text(folder_ / "gone")};
    quillarbor::SkinFolder chooser([] { return testDrives; });

    ASSERT_TRUE(chooser.open(skins + sep + "A" + sep + ".."));
    EXPECT_EQ(chooser.path(), skins) << "the normal form";
    const auto& entries = chooser.folders();
    ASSERT_GE(entries.size(), 5u);
    const std::size_t at = entries.size() - 4;
    EXPECT_EQ(chooser.chosenFolder(), at);
    EXPECT_EQ(entries[at].name, "skins");
    EXPECT_EQ(entries[at].path, skins);
    EXPECT_EQ(entries[at - 1].path, root);
    EXPECT_EQ(entries[0].level, 0);
    for (std::size_t i = at + 1; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].level, entries[at].level + 1);
        EXPECT_FALSE(entries[i].open);
        EXPECT_EQ(entries[i].path, skins + sep + entries[i].name);
    }
    EXPECT_EQ(entries[at + 1].name + entries[at + 2].name + entries[at + 3].name, ".HiddenAb");
    EXPECT_EQ(chooser.skins().names(), (std::vector<std::string>{"A.bmp", "b.bmp"}));
    EXPECT_EQ(chooser.drive(), 0u);

    // A drive holding the folder opens on it; another opens where it opens; one that cannot be
    // read changes nothing.
    EXPECT_TRUE(chooser.openDrive(0));
    EXPECT_EQ(chooser.path(), skins);
    EXPECT_FALSE(chooser.openDrive(2));
    EXPECT_FALSE(chooser.openDrive(3));
    EXPECT_EQ(chooser.path(), skins);
    EXPECT_TRUE(chooser.openDrive(1));
    EXPECT_EQ(chooser.drive(), 1u);
    EXPECT_EQ(chooser.skins().names(), std::vector<std::string>{"z.bmp"});
    EXPECT_FALSE(chooser.open(text(folder_ / "missing")));
    EXPECT_EQ(chooser.path(), text(folder_ / "other"));
}

TEST_F(SkinFolderOnDisk, SelectionFollowsItsNameWithinItsFolder) {
    fs::create_directories(folder_ / "twin");
    for (const char* name : {"b.bmp", "c.bmp", "twin/a.bmp", "twin/b.bmp"}) {
        touch(name);
    }
    quillarbor::SkinFolder chooser;
    ASSERT_TRUE(chooser.open(folderText()));
    touch("a.bmp");
    const auto moved = chooser.reread(1); // c.bmp
    EXPECT_TRUE(moved.skinsChanged);
    EXPECT_EQ(moved.selected, 2u);
    const auto same = chooser.reread(2);
    EXPECT_FALSE(same.skinsChanged);
    EXPECT_EQ(same.selected, 2u);
    fs::remove(folder_ / "c.bmp");
    EXPECT_EQ(chooser.reread(2).selected, std::nullopt) << "gone with its file";

    // Another folder listing the same names keeps the rows, not the selection.
    ASSERT_TRUE(chooser.open(folderText(), 1));
    const auto elsewhere = chooser.open(text(folder_ / "twin"), 1);
    ASSERT_TRUE(elsewhere);
    EXPECT_FALSE(elsewhere->skinsChanged);
    EXPECT_EQ(elsewhere->selected, std::nullopt);
    EXPECT_EQ(chooser.open(text(folder_ / "twin"), 1)->selected, 1u) << "the same folder again";
}

} // namespace
