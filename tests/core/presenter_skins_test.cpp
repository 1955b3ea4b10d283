// Picking, previewing and applying skins: the random pick and the skin chosen on the list.
#include "support/presenter_fixture.h"

#include <string>
#include <vector>

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

class PresenterSkins : public PresenterFixture {
protected:
    // What the window and the browser show as the last skin applied.
    void expectShown(const std::string& name) {
        EXPECT_EQ(presenter_->lastShown(), name);
        EXPECT_EQ(view_.lastShownLine, name.empty() ? "" : "Last shown: " + name);
        EXPECT_EQ(toolbar(), name.empty() ? "" : skin(name));
        EXPECT_EQ(view_.preview, name.empty() ? "" : skin(name));
    }
};

TEST_F(PresenterSkins, PickAppliesTheDrawnEntryOfTheList) {
    const struct {
        const char* name;
        int count;
        float r;
        int index;
    } cases[] = {
        {"three, r = 0.3: the middle one", 3, 0.3f, 1},
        {"three, r near 1: the last one", 3, 0.999f, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(config_.root() / "skins");
        for (int i = 0; i < c.count; ++i) {
            addSkins({"skin" + std::to_string(i) + ".bmp"});
        }
        nextRow();
        startOnSkins({c.r});
        presenter_->pickRandomSkin();
        expectShown("skin" + std::to_string(c.index) + ".bmp");
    }
}

TEST_F(PresenterSkins, PickRereadsTheFolderEachTime) {
    addSkins({"a.bmp"});
    startOnSkins({0.999f});
    presenter_->pickRandomSkin();
    expectShown("a.bmp");
    // Added after the list was read, without Refresh: the pick sees it.
    addSkins({"b.bmp"});
    presenter_->pickRandomSkin();
    expectShown("b.bmp");

    // Emptied: nothing is drawn and the last skin stays.
    for (const char* name : {"a.bmp", "b.bmp"}) {
        std::filesystem::remove(config_.root() / "skins" / name);
    }
    const std::size_t draws = random_->draws();
    presenter_->pickRandomSkin();
    EXPECT_EQ(random_->draws(), draws);
    expectShown("b.bmp");
}

TEST_F(PresenterSkins, TheSelectedEntryIsAppliedWithoutADraw) {
    addSkins({"a.bmp", "B.BMP", "c.bmp"});
    startOnSkins({0.0f});
    const std::size_t draws = random_->draws();
    presenter_->onSkinChosen(); // nothing selected yet
    expectShown("");
    view_.selected = 1;
    presenter_->onSkinChosen();
    expectShown("B.BMP");
    EXPECT_EQ(random_->draws(), draws);
}

} // namespace
