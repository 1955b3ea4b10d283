// One running copy per desktop session: what a start does when another copy may hold it.
#include "app/Form1Presenter.h"
#include "app/session_slot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quillarbor;

namespace {

// A session whose place is held by another copy until `holderEndsAfter` questions were asked;
// that copy answers when `holderAnswers`.
class ScriptedSlot final : public SessionSlot {
public:
    bool held = false;
    bool holderAnswers = true;
    int holderEndsAfter = -1; // never
    std::vector<std::string> asked;

    bool take() override {
        note("take");
        if (held) {
            return false;
        }
        held = true;
        return true;
    }
    bool askHolderToShow() override {
        note("show");
        return held && holderAnswers;
    }

private:
    void note(const char* question) {
        if (static_cast<int>(asked.size()) == holderEndsAfter) {
            held = false;
        }
        asked.emplace_back(question);
    }
};

TEST(SessionClaim, StartsRunForwardOrGiveUp) {
    using Launch = Form1Presenter::Launch;
    const struct {
        const char* name;
        std::vector<std::string> args;
        bool held, answers;
        int endsAfter;
        Launch expected;
        std::vector<std::string> asked;
    } cases[] = {
        {"the first copy", {}, false, true, -1, Launch::Run, {"take"}},
        {"a second start", {}, true, true, -1, Launch::Forwarded, {"take", "show"}},
        {"a second start with other words",
         {"-x"},
         true,
         true,
         -1,
         Launch::Forwarded,
         {"take", "show"}},
        {"the holder ends before it is asked",
         {},
         true,
         true,
         1,
         Launch::Run,
         {"take", "show", "take"}},
        {"the holder does not answer",
         {},
         true,
         false,
         -1,
         Launch::Unanswered,
         {"take", "show", "take"}},
        {"a one-shot beside a running copy", {"/o"}, true, true, -1, Launch::Run, {}},
        {"a one-shot alone", {"-x", "/O"}, false, true, -1, Launch::Run, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedSlot slot;
        slot.held = c.held;
        slot.holderAnswers = c.answers;
        slot.holderEndsAfter = c.endsAfter;
        EXPECT_EQ(Form1Presenter::claimSession(c.args, slot), c.expected);
        EXPECT_EQ(slot.asked, c.asked);
    }
}

} // namespace
