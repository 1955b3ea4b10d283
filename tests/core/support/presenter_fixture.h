#pragma once

#include "support/fake_services.h"
#include "support/fake_view.h"
#include "support/temp_config.h"

#include "app/MainWindowPresenter.h"
#include "rotation/path_text.h"
#include "rotation/skins.h"
#include "settings/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillarbor::test {

// A presenter over a fake view, with a settings store in memory and a start folder and an empty
// skin folder of its own; only the skin list reads the disk, as the view's would.
class PresenterFixture : public testing::Test {
protected:
    PresenterFixture() {
        std::filesystem::create_directories(config_.root() / "start");
        std::filesystem::create_directories(config_.root() / "skins");
        startFolder_ = textFromPath(config_.root() / "start").value();
        skinsFolder_ = textFromPath(config_.root() / "skins").value();
        folders_.existing = {startFolder_, skinsFolder_};
        folders_.currentFolder = startFolder_;
    }

    void save(std::string_view subKey, std::string_view data) {
        store_.save(subKey, loc::settingValue, data);
    }
    std::string saved(std::string_view subKey) const {
        return store_.get(subKey, loc::settingValue);
    }
    std::string toolbar() const { return store_.get(loc::toolbarKey, loc::toolbarValue); }

    // A table's next row starts on a fresh window, and with nothing applied.
    void nextRow() {
        view_ = FakeView();
        store_.remove(loc::toolbarKey, loc::toolbarValue);
    }

    // Files in the skin folder; their content is never read.
    void addSkins(const std::vector<std::string>& names) const {
        for (const auto& name : names) {
            TempConfig::writeFile(*pathFromText(skin(name)), "BM");
        }
    }
    std::string skin(const std::string& name) const { return addSlash(skinsFolder_) + name; }

    // Start-up with the skin folder saved, drawing `draws` in turn.
    MainWindowPresenter::Start startOnSkins(std::vector<float> draws,
                                            const std::vector<std::string>& args = {}) {
        save(loc::settingPath, skinsFolder_);
        return start(std::move(draws), args);
    }
    MainWindowPresenter::Start start(std::vector<float> draws,
                                     const std::vector<std::string>& args = {},
                                     std::string programFolder = {}) {
        presenter_.reset();
        random_.emplace(std::move(draws));
        presenter_.emplace(view_, PresenterDependencies{*random_, store_, folders_, *autostart_,
                                                        std::move(programFolder)});
        return presenter_->load(args);
    }

    TempConfig config_;
    std::string startFolder_, skinsFolder_;
    MemoryStore store_;
    FakeFolders folders_;
    FakeAutostart fakeAutostart_;
    AutostartEntry* autostart_ = &fakeAutostart_; // a test may hand in the desktop's own
    FakeView view_;
    std::optional<FixedRandom> random_;
    std::optional<MainWindowPresenter> presenter_;
};

} // namespace quillarbor::test
