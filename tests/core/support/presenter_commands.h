#pragma once

#include "support/presenter_fixture.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillarbor::test {

// A presenter that knows where its program lives, for the commands that write it into the
// logon entry.
class PresenterCommands : public PresenterFixture {
protected:
    static constexpr std::string_view kProgramFolder = "/opt/Skin Tool";
    static constexpr std::string_view kExecutable = "/opt/Skin Tool/quillarbor";

    // The program made afresh on a new view, as its next run would be, and started.
    MainWindowPresenter::Start launch(const std::vector<std::string>& args = {},
                                      std::vector<float> draws = {0.0f}) {
        presenter_.reset();
        view_ = FakeView();
        return start(std::move(draws), args, std::string(kProgramFolder));
    }

    // Ticks until the countdown runs out and the next one is drawn.
    void tickThroughPick() {
        const std::size_t draws = random_->draws();
        for (int ticks = 0; random_->draws() == draws && view_.beating && ticks < 100000; ++ticks) {
            view_.tick();
        }
    }

    // a.bmp applied by hand, then b.bmp asked for by a double-click or a timed pick after `spoil`
    // made it fail. Whatever failed, the window still shows a.bmp, and the one message about it
    // (a box for the user who asked, a warning for a timed pick) names b.bmp; returns that message.
    std::string askForAFailingSkin(bool byDoubleClick, const std::function<void()>& spoil) {
        addSkins({"a.bmp", "b.bmp"});
        save(loc::settingPath, skinsFolder_);
        launch({}, {kLargestDraw}); // a pick takes b.bmp
        view_.selected = 0;
        presenter_->onSkinChosen();
        spoil();
        if (byDoubleClick) {
            view_.selected = 1;
            presenter_->onSkinChosen();
        } else {
            tickThroughPick();
        }
        EXPECT_EQ(toolbar(), skin("a.bmp"));
        EXPECT_EQ(presenter_->lastShown(), "a.bmp");
        EXPECT_EQ(view_.lastShownLine, "Last shown: a.bmp");
        EXPECT_EQ(view_.preview, skin("a.bmp"));
        view_.tick();
        EXPECT_NE(view_.tip.find("Last shown: a.bmp"), std::string::npos) << view_.tip;
        EXPECT_TRUE(view_.beating);
        EXPECT_EQ(view_.boxes.size(), byDoubleClick ? 1u : 0u);
        EXPECT_EQ(view_.warnings.size(), byDoubleClick ? 0u : 1u);
        const std::string told = byDoubleClick ? (view_.boxes.empty() ? "" : view_.boxes[0].text)
                                               : (view_.warnings.empty() ? "" : view_.warnings[0]);
        EXPECT_NE(told.find(skin("b.bmp")), std::string::npos) << told;
        return told;
    }

    std::string runEntry() const { return store_.get(loc::runKey, loc::runValue); }
};

} // namespace quillarbor::test
