// How a one-shot run ends, as the exit status reports it, with the system's own store: a skin
// applied or none to apply is an ordinary end; a skin picked but not applied is a failure that
// names what failed and where.
#include "support/fake_services.h"
#include "support/fake_view.h"
#include "support/temp_config.h"

#include "settings/registry.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quillarbor;
using namespace quillarbor::test;
namespace fs = std::filesystem;

namespace {

// A folder where the writers' lock file should be stops every writer, root included, while the
// settings still read.
void refuseWrites(const TempConfig& config) {
    const fs::path lock = config.userStore().string() + ".lock";
    fs::remove(lock);
    fs::create_directories(lock);
}

enum class Case { Applied, EmptyFolder, StoreUnwritable, NotAPicture };

struct Row {
    const char* name;
    Case what;
    MainWindowPresenter::Start expected;
    const char* failureNames; // a piece of the failure's text; "" when none is expected
};

class OneShotEnd : public ::testing::TestWithParam<Row> {};

TEST_P(OneShotEnd, StatusAndReason) {
    const Row& row = GetParam();
    TempConfig config;
    const fs::path skins = config.root() / "skins";
    fs::create_directories(skins);
    if (row.what != Case::EmptyFolder) {
        TempConfig::writeFile(skins / "a.bmp", "BM");
    }
    regSaveString(RegRoot::CurrentUser, loc::settingPath, loc::settingValue, skins.string());

    FakeView view;
    FixedRandom random({0.0f});
    RegistrySettingsStore store;
    FileSystemFolders folders;
    FakeAutostart autostart;
    MainWindowPresenter presenter(view, {random, store, folders, autostart, "/opt/quillarbor"});
    if (row.what == Case::NotAPicture) {
        view.unloadable.insert((skins / "a.bmp").string());
    }
    if (row.what == Case::StoreUnwritable) {
        refuseWrites(config);
    }

    EXPECT_EQ(presenter.load({"/o"}), row.expected);
    EXPECT_TRUE(view.ended);
    if (*row.failureNames == '\0') {
        EXPECT_EQ(presenter.failure(), "");
    } else {
        EXPECT_NE(presenter.failure().find(row.failureNames), std::string::npos)
            << presenter.failure();
    }
    if (row.what == Case::Applied) {
        EXPECT_EQ(regGetString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue),
                  (skins / "a.bmp").string());
    }
}

const Row kRows[] = {
    {"Applied", Case::Applied, MainWindowPresenter::Start::Ended, ""},
    {"EmptyFolder", Case::EmptyFolder, MainWindowPresenter::Start::Ended, ""},
    {"StoreUnwritable", Case::StoreUnwritable, MainWindowPresenter::Start::Failed,
     "BackBitmapIE5 in "},
    {"NotAPicture", Case::NotAPicture, MainWindowPresenter::Start::Failed, "a.bmp as a picture"},
};

INSTANTIATE_TEST_SUITE_P(Rows, OneShotEnd, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
