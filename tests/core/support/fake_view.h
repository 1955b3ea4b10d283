#pragma once

#include "app/MainWindowPresenter.h"
#include "app/MainWindowView.h"
#include "rotation/random_source.h"
#include "rotation/skins.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillarbor::test {

// Hands out the given values in turn; the last one repeats.
class FixedRandom final : public RandomSource {
public:
    explicit FixedRandom(std::vector<float> values) : values_(std::move(values)) {}
    float next() override {
        const float r = values_.at(std::min(draws_, values_.size() - 1));
        ++draws_;
        return r;
    }
    std::size_t draws() const { return draws_; }

private:
    std::vector<float> values_;
    std::size_t draws_ = 0;
};

// The largest value a random source hands out: 1 - 2^-24.
inline constexpr float kLargestDraw = 1.0f - 0x1p-24f;

// A main window without a toolkit: it keeps what the presenter shows, reads skin folders from
// the disk as the real skin list does, and lets a test act as the user. Tests assert on what it
// ends up showing.
class FakeView final : public MainWindowView {
public:
    // What the window shows.
    std::string delay = "1";
    std::string countdown;
    std::string lastShownLine;
    std::string folder;            // the choosers' folder
    std::vector<std::string> list; // the skin list as last read
    int selected = -1;
    int folderReads = 0; // the folder read for the skin list, by a move or a re-read
    std::string preview; // the bitmap the preview shows
    bool startInTrayMarks = false;
    bool runAtStartupMarks = false;
    WindowState state = WindowState::Normal;
    bool visible = false;
    bool inFront = false;
    bool trayAdded = false;
    bool trayRemoved = false;
    bool trayAvailable = true; // a notification area exists
    std::string tip;
    int trayMenuOpenings = 0;
    int aboutOpenings = 0;
    int centred = 0;
    bool beating = false;
    int beatStarts = 0; // intervals started afresh
    bool ended = false;

    // Files the preview cannot load, by full path; folders the choosers cannot read.
    std::set<std::string> unloadable;
    std::set<std::string> unreadable;
    // Answers of the next message boxes; an empty queue answers Cancel. Every box is kept.
    std::deque<Answer> answers;
    struct Box {
        std::string text, title;
        Buttons buttons;
    };
    std::vector<Box> boxes;
    std::vector<std::string> warnings;
    // Runs while a box is open, as the event loop would run ticks then.
    std::function<void()> whileBoxOpen;

    MainWindowPresenter* presenter = nullptr;

private:
    bool frontWhenShown_ = false;

public:
    // The user's actions.
    void typeDelay(std::string text) {
        delay = std::move(text);
        presenter->onDelayEdited(delay);
    }
    void tick(int times = 1) {
        for (int i = 0; i < times && beating; ++i) {
            presenter->onTick();
        }
    }
    void minimise() {
        state = WindowState::Minimised;
        presenter->onWindowMinimised();
    }

    void attach(MainWindowPresenter& p) override { presenter = &p; }
    std::string delayText() const override { return delay; }
    void setDelayText(std::string_view text) override { delay = text; }
    std::string countdownText() const override { return countdown; }
    void setCountdownText(std::string_view text) override { countdown = text; }
    void setLastShownText(std::string_view text) override { lastShownLine = text; }

    bool showSkinFolder(const std::string& path) override {
        if (unreadable.contains(path)) {
            return false;
        }
        folder = path;
        selected = -1;
        list = listSkinFiles(folder);
        ++folderReads;
        return true;
    }
    std::string skinFolder() const override { return folder; }
    std::size_t refreshSkinList() override {
        list = listSkinFiles(folder);
        ++folderReads;
        return list.size();
    }
    std::size_t skinCount() const override { return list.size(); }
    std::string skinAt(std::size_t index) const override { return list.at(index); }
    int selectedSkin() const override { return selected; }
    bool showPreview(const std::string& picName) override {
        if (unloadable.contains(picName)) {
            return false;
        }
        preview = picName;
        return true;
    }
    void clearPreview() override { preview.clear(); }

    void setStartInTrayChecked(bool checked) override { startInTrayMarks = checked; }
    void setRunAtStartupChecked(bool checked) override { runAtStartupMarks = checked; }

    void centreOnScreen() override { ++centred; }
    WindowState windowState() const override { return state; }
    void setWindowState(WindowState s) override { state = s; }
    bool isWindowVisible() const override { return visible; }
    void showWindow() override {
        visible = true;
        inFront = inFront || frontWhenShown_;
        frontWhenShown_ = false;
    }
    void hideWindow() override {
        visible = false;
        inFront = false;
    }
    void repaint() override {}
    // As the window system does: a hidden window asked forward comes forward once shown.
    void bringToFront() override {
        inFront = visible;
        frontWhenShown_ = !visible;
    }

    void addTrayIcon(std::string_view text) override {
        trayAdded = true;
        tip = text;
    }
    void setTrayTip(std::string_view text) override { tip = text; }
    void removeTrayIcon() override { trayRemoved = true; }
    bool isTrayIconShown() const override { return trayAdded && !trayRemoved && trayAvailable; }
    void openTrayMenu() override { ++trayMenuOpenings; }

    Answer messageBox(std::string_view text, std::string_view title, Buttons buttons) override {
        boxes.push_back({std::string(text), std::string(title), buttons});
        if (whileBoxOpen) {
            whileBoxOpen();
        }
        if (answers.empty()) {
            return Answer::Cancel;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showAbout() override { ++aboutOpenings; }
    void warn(std::string_view text) override { warnings.emplace_back(text); }

    void setBeatEnabled(bool enabled) override {
        if (enabled && !beating) {
            ++beatStarts;
        }
        beating = enabled;
    }
    void end() override { ended = true; }
};

} // namespace quillarbor::test
