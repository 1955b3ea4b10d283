// A skin that could not be applied. A one-shot run's exit status reports it: a skin applied or
// none to apply is an ordinary end; a skin picked but not applied is a failure that names what
// failed and where. A running program never shows it as applied, and tells the user.
#include "support/fake_view.h"
#include "support/presenter_commands.h"
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
    Form1Presenter::Start expected;
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
    Form1Presenter presenter(view, {random, "/opt/quillarbor", "/opt/quillarbor/quillarbor"});
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
    {"Applied", Case::Applied, Form1Presenter::Start::Ended, ""},
    {"EmptyFolder", Case::EmptyFolder, Form1Presenter::Start::Ended, ""},
    {"StoreUnwritable", Case::StoreUnwritable, Form1Presenter::Start::Failed, "BackBitmapIE5 in "},
    {"NotAPicture", Case::NotAPicture, Form1Presenter::Start::Failed, "a.bmp as a picture"},
};

INSTANTIATE_TEST_SUITE_P(Rows, OneShotEnd, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

using RefusedWrite = PresenterCommands;

TEST_F(RefusedWrite, TheSkinInForceStaysShownAndTheFailureIsTold) {
    for (const bool byDoubleClick : {false, true}) {
        SCOPED_TRACE(byDoubleClick ? "double-click" : "timed pick");
        fs::remove_all(config_.userStore().string() + ".lock");
        const std::string told = askForAFailingSkin(byDoubleClick, [&] { refuseWrites(config_); });
        EXPECT_NE(told.find("BackBitmapIE5"), std::string::npos) << told;

        // The exit cannot save either, and says so for each setting, the folder among them.
        view_.warnings.clear();
        presenter_->onExitClicked();
        ASSERT_EQ(view_.warnings.size(), 3u);
        EXPECT_NE(view_.warnings[0].find(skinsFolder_), std::string::npos) << view_.warnings[0];
    }
}

TEST_F(RefusedWrite, NothingAppliedYetLeavesTheWindowEmpty) {
    addSkins({"a.bmp"});
    save(loc::settingPath, skinsFolder_);
    launch();
    refuseWrites(config_);
    view_.selected = 0;
    presenter_->onSkinChosen();
    EXPECT_EQ(view_.preview, "");
    EXPECT_EQ(view_.lastShownLine, "");
    EXPECT_EQ(presenter_->lastShown(), "");
    EXPECT_EQ(view_.boxes.size(), 1u);
}

} // namespace
