// The menu commands: the two options, the reset before uninstall and About.
#include "app/run_at_logon.h"
#include "app/startup_rules.h"
#include "support/presenter_commands.h"

#include <optional>

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

using Menus = PresenterCommands;
using Answer = MainWindowView::Answer;
using State = MainWindowView::WindowState;

TEST_F(Menus, StartInTrayIsSavedAtExitAndTakesEffectAtTheNextStart) {
    const struct {
        const char* saved;
        int clicks;
        bool checked;
    } cases[] = {{"False", 1, true}, {"False", 2, false}, {"False", 3, true}, {"True", 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.saved << ", " << c.clicks << " clicks");
        save(loc::settingSystray, c.saved);
        launch();
        const State before = view_.state;
        for (int i = 0; i < c.clicks; ++i) {
            presenter_->onStartInTrayClicked();
        }
        EXPECT_EQ(view_.startInTrayMarks, c.checked);
        // Switching the option neither changes the window nor saves anything yet.
        EXPECT_EQ(view_.state, before);
        EXPECT_TRUE(view_.visible);
        EXPECT_EQ(saved(loc::settingSystray), c.saved);

        presenter_->onExitClicked();
        EXPECT_EQ(saved(loc::settingSystray), c.checked ? "True" : "False");
        launch();
        EXPECT_EQ(view_.startInTrayMarks, c.checked);
        EXPECT_EQ(view_.state, c.checked ? State::Minimised : State::Normal);
    }
}

TEST_F(Menus, RunAtStartupFollowsTheLogonEntryAndWritesItAtEachClick) {
    // The program folder holds a space: the entry is quoted.
    const std::string command =
        '"' + std::string(kProgramFolder) + kFolderSeparator + "Quillarbor.exe\"";
    const struct {
        std::optional<std::string> entry; // at start
        int clicks;
        bool checked;
    } cases[] = {
        // Start-up only reads the entry: any text counts.
        {std::nullopt, 0, false}, {"", 0, false},
        {" ", 0, true},           {"C:\\Apps\\Quillarbor.exe", 0, true},
        {std::nullopt, 1, true},  {"old entry", 1, false},
        {std::nullopt, 2, false}, {std::nullopt, 3, true},
        {"old entry", 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entry.value_or("(none)") << ", " << c.clicks);
        store_.remove(loc::runKey, loc::runValue);
        if (c.entry) {
            store_.save(loc::runKey, loc::runValue, *c.entry);
        }
        launch();
        EXPECT_EQ(view_.runAtStartupMarks, !c.entry.value_or("").empty());
        for (int i = 0; i < c.clicks; ++i) {
            presenter_->onRunAtStartupClicked();
            EXPECT_EQ(runEntry(), view_.runAtStartupMarks ? command : "") << "click " << i + 1;
        }
        EXPECT_EQ(view_.runAtStartupMarks, c.checked);
        presenter_->onExitClicked();
        EXPECT_EQ(runEntry(), c.clicks == 0 ? c.entry.value_or("") : c.checked ? command : "");
        // The option touches nothing else.
        EXPECT_EQ(toolbar(), "");
    }
}

TEST(RunEntry, NamesTheFolderOfTheRunningProgram) {
    // As the program takes its folder from its own path.
    const struct {
        const char* executable;
        const char* entry;
    } cases[] = {
#ifdef _WIN32
        {"C:\\Apps\\Skin Tool\\quillarbor.exe", "\"C:\\Apps\\Skin Tool\\Quillarbor.exe\""},
        {"D:\\quillarbor.exe", "D:\\Quillarbor.exe"},
#else
        {"/opt/Skin Tool/quillarbor", "\"/opt/Skin Tool/Quillarbor.exe\""},
        {"/quillarbor", "/Quillarbor.exe"},
#endif
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runEntryCommand(folderOf(c.executable)), c.entry) << c.executable;
    }
}

TEST_F(Menus, ResetBeforeUninstall) {
    const std::string previous = "/skins/previous.bmp";
    const struct {
        const char* name;
        std::vector<Answer> answers;
        bool reset, ends;
    } cases[] = {
        {"Cancel", {Answer::Cancel}, false, false},
        {"OK, Cancel", {Answer::Ok, Answer::Cancel}, true, false},
        {"OK, OK", {Answer::Ok, Answer::Ok}, true, true},
    };
    const std::string texts[] = {
        "Are you sure you want to do this? (Please see documentation first.)",
        "Quillarbor will exit next."};
    addSkins({"only.bmp"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store_.save(loc::toolbarKey, loc::toolbarValue, previous);
        store_.save(loc::runKey, loc::runValue, "entry");
        save(loc::settingPath, skinsFolder_);
        save(loc::settingDelay, "0.1");
        launch();
        view_.typeDelay("0.2");
        view_.answers.assign(c.answers.begin(), c.answers.end());
        std::string toolbarDuringSecondBox;
        view_.whileBoxOpen = [&] {
            if (view_.boxes.size() == 2) {
                toolbarDuringSecondBox = toolbar();
                // Far more seconds than any countdown of this delay: the reset still holds
                // while the user reads the box.
                view_.tick(100);
            }
        };
        presenter_->onResetClicked();

        ASSERT_EQ(view_.boxes.size(), c.answers.size());
        for (std::size_t i = 0; i < view_.boxes.size(); ++i) {
            EXPECT_EQ(view_.boxes[i].title, "Reset Registry before uninstall");
            EXPECT_EQ(view_.boxes[i].text, texts[i]);
            EXPECT_EQ(view_.boxes[i].buttons, MainWindowView::Buttons::OkCancel);
        }
        EXPECT_EQ(toolbarDuringSecondBox, c.reset ? " " : "");
        EXPECT_EQ(toolbar(), c.reset ? " " : previous);
        EXPECT_EQ(view_.ended, c.ends);
        // The logon entry stays; an exit saves the settings as every exit does.
        EXPECT_EQ(runEntry(), "entry");
        EXPECT_EQ(saved(loc::settingDelay), c.ends ? "0.2" : "0.1");
        if (!c.ends) {
            // The program carries on: its countdown runs again and applies the next skin.
            tickThroughPick();
            EXPECT_EQ(toolbar(), skin("only.bmp"));
        }
    }
}

TEST_F(Menus, AboutOpensTheBoxEachTimeAndChangesNothingElse) {
    launch();
    presenter_->onAboutClicked();
    presenter_->onAboutClicked();
    EXPECT_EQ(view_.aboutOpenings, 2);
    EXPECT_TRUE(view_.visible && view_.beating && view_.boxes.empty() && !view_.ended);
}

} // namespace
