#pragma once

#include "support/fake_view.h"
#include "support/temp_config.h"

#include "app/Form1Presenter.h"
#include "app/startup_rules.h"
#include "rotation/path_text.h"
#include "rotation/skins.h"
#include "settings/registry.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillarbor::test {

// A presenter over a fake view with a settings store of its own, a start folder that is the
// process's current folder while the test runs, and an empty skin folder beside it. Where the
// store is the system's registry, which outlives the test, the values a presenter touches start
// missing and are put back afterwards.
class PresenterWithStore : public testing::Test {
protected:
    PresenterWithStore() : previousFolder_(std::filesystem::current_path()) {
        for (Kept& kept : kept_) {
            kept.data = regGetString(RegRoot::CurrentUser, kept.key, kept.value);
            regDeleteValue(RegRoot::CurrentUser, kept.key, kept.value);
        }
        std::filesystem::create_directories(config_.root() / "start");
        std::filesystem::create_directories(config_.root() / "skins");
        std::filesystem::current_path(config_.root() / "start");
        startFolder_ = currentFolder();
        skinsFolder_ = textFromPath(config_.root() / "skins").value();
    }
    ~PresenterWithStore() override {
        // The folders go with the store, and a current folder cannot be removed everywhere.
        std::filesystem::current_path(previousFolder_);
        for (const Kept& kept : kept_) {
            regDeleteValue(RegRoot::CurrentUser, kept.key, kept.value);
            if (!kept.data.empty()) {
                regSaveString(RegRoot::CurrentUser, kept.key, kept.value, kept.data);
            }
        }
    }

    static void save(std::string_view subKey, std::string_view data) {
        regSaveString(RegRoot::CurrentUser, subKey, loc::settingValue, data);
    }
    static std::string saved(std::string_view subKey) {
        return regGetString(RegRoot::CurrentUser, subKey, loc::settingValue);
    }
    static std::string toolbar() {
        return regGetString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue);
    }

    // A table's next row starts on a fresh window, and with nothing applied.
    void nextRow() {
        view_ = FakeView();
        regSaveString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue, "");
    }

    // Files in the skin folder; their content is never read.
    void addSkins(const std::vector<std::string>& names) const {
        for (const auto& name : names) {
            TempConfig::writeFile(*pathFromText(skin(name)), "BM");
        }
    }
    std::string skin(const std::string& name) const { return addSlash(skinsFolder_) + name; }

    // Start-up with the skin folder saved, drawing `draws` in turn.
    Form1Presenter::Start startOnSkins(std::vector<float> draws,
                                       const std::vector<std::string>& args = {}) {
        save(loc::settingPath, skinsFolder_);
        return start(std::move(draws), args);
    }
    Form1Presenter::Start start(std::vector<float> draws,
                                const std::vector<std::string>& args = {}) {
        random_.emplace(std::move(draws));
        presenter_.emplace(view_, Form1Presenter::Services{*random_, {}, {}});
        return presenter_->load(args);
    }

    struct Kept {
        std::string_view key, value;
        std::string data;
    };
    std::array<Kept, 5> kept_{{{loc::settingPath, loc::settingValue, {}},
                               {loc::settingDelay, loc::settingValue, {}},
                               {loc::settingSystray, loc::settingValue, {}},
                               {loc::runKey, loc::runValue, {}},
                               {loc::toolbarKey, loc::toolbarValue, {}}}};
    TempConfig config_;
    std::filesystem::path previousFolder_;
    std::string startFolder_, skinsFolder_;
    FakeView view_;
    std::optional<FixedRandom> random_;
    std::optional<Form1Presenter> presenter_;
};

} // namespace quillarbor::test
