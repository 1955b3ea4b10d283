// One running copy per desktop session: what a start does when another copy may hold it.
#include "app/MainWindowPresenter.h"
#include "app/session_slot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace quillarbor;

namespace {

// Answers each kind of question from its script in turn, the last answer repeating, and notes
// the questions: 't' for take, 's' for askHolderToShow.
class ScriptedSlot final : public SessionSlot {
public:
    ScriptedSlot(std::vector<bool> takes, std::vector<bool> shows)
        : takes_(std::move(takes)), shows_(std::move(shows)) {}
    bool take() override { return answer(takes_, 't'); }
    bool askHolderToShow() override { return answer(shows_, 's'); }
    std::string asked;

private:
    bool answer(const std::vector<bool>& script, char question) {
        const auto n = static_cast<std::size_t>(std::ranges::count(asked, question));
        asked += question;
        return script.at(std::min(n, script.size() - 1));
    }
    std::vector<bool> takes_, shows_;
};

TEST(SessionClaim, StartsRunHandOverOrGiveUp) {
    using Launch = MainWindowPresenter::Launch;
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::vector<bool> takes, shows;
        Launch expected;
        std::string asked;
    } cases[] = {
        {"the first copy", {}, {true}, {false}, Launch::Run, "t"},
        {"a second start", {"-x"}, {false}, {true}, Launch::Forwarded, "ts"},
        {"the holder ends before it is asked", {}, {false, true}, {false}, Launch::Run, "tst"},
        {"the holder does not answer", {}, {false}, {false}, Launch::Unanswered, "tst"},
        {"a one-shot beside a running copy", {"/o"}, {false}, {true}, Launch::Run, ""},
        {"a one-shot alone", {"-x", "/O"}, {true}, {false}, Launch::Run, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedSlot slot(c.takes, c.shows);
        EXPECT_EQ(MainWindowPresenter::claimSession(c.args, slot), c.expected);
        EXPECT_EQ(slot.asked, c.asked);
    }
}

} // namespace
