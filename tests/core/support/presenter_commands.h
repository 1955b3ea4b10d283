#pragma once

#include "support/presenter_with_store.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillarbor::test {

// A presenter that knows where its program lives, for the commands that write it into the
// logon entry.
class PresenterCommands : public PresenterWithStore {
protected:
    static constexpr std::string_view kProgramFolder = "/opt/Skin Tool";
    static constexpr std::string_view kExecutable = "/opt/Skin Tool/quillarbor";

    // The program made afresh on a new view, as its next run would be, and started.
    Form1Presenter::Start launch(const std::vector<std::string>& args = {},
                                 std::vector<float> draws = {0.0f}) {
        presenter_.reset();
        view_ = FakeView();
        random_.emplace(std::move(draws));
        presenter_.emplace(view_, Form1Presenter::Services{*random_, std::string(kProgramFolder),
                                                           std::string(kExecutable)});
        return presenter_->load(args);
    }

    // Ticks until the countdown runs out and the next one is drawn.
    void tickThroughPick() {
        const std::size_t draws = random_->draws();
        for (int ticks = 0; random_->draws() == draws && view_.beating && ticks < 100000; ++ticks) {
            view_.tick();
        }
    }

    static std::string runEntry() {
        return regGetString(RegRoot::CurrentUser, loc::runKey, loc::runValue);
    }
};

} // namespace quillarbor::test
