#pragma once

#include "app/MainWindowPresenter.h"
#include "app/window_forms.h"
#include "qt/MainWindow.h"
#include "qt/Ticker.h"
#include "rotation/random_source.h"

#include <QColor>
#include <QDir>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <span>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace quillarbor::test {

// Points XDG_CONFIG_HOME and XDG_CONFIG_DIRS at a fresh temporary folder for
// the life of the object, so no test touches the user's real settings.
class TempSettings {
public:
    TempSettings();
    ~TempSettings();
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

private:
    QTemporaryDir dir_;
    QByteArray oldHome_, oldDirs_;
    bool hadHome_, hadDirs_;
};

// Makes `folder` the process's current folder for the life of the object.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    QString previous_;
};

// Hands out the given values in turn; the last one repeats.
class FixedRandom final : public RandomSource {
public:
    explicit FixedRandom(std::vector<float> values) : values_(std::move(values)) {}
    float next() override;
    int draws() const { return draws_; }

private:
    std::vector<float> values_;
    int draws_ = 0;
};

// The largest value a random source hands out: 1 - 2^-24.
inline constexpr float kLargestDraw = 1.0f - 0x1p-24f;

// A ticker the test fires by hand: one fire() is one second gone by.
class ManualTicker final : public Ticker {
public:
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    // Ticks at once, unless disabled.
    void fire();
    // How often an interval was started afresh (enabled after being disabled).
    int starts() const { return starts_; }

private:
    bool enabled_ = false;
    int starts_ = 0;
};

// The Qt window and the presenter that drives it, wired as the program wires them, with the
// test's own random draws and ticker.
struct Program {
    explicit Program(std::vector<float> draws = {0.5f});
    FixedRandom random;
    ManualTicker ticker;
    RunningProgram program;
    MainWindow form;
    MainWindowPresenter presenter;
};

// A small valid bitmap of one colour.
void writeBitmap(const QString& path, const QColor& colour = Qt::red);
void writeText(const QString& path, const QByteArray& text);

// A folder path as the program keeps it (UTF-8 text, physical: no symbolic links).
std::string folderText(const QString& folder);
QString physical(const QString& folder);

// The setting under `subKey` (value "String") and the browser's toolbar value.
std::string savedSetting(std::string_view subKey);
void saveSetting(std::string_view subKey, std::string_view data);
std::string toolbarValue();

// A double-click as a user makes it: press, release, double-click, release.
void doubleClickAt(QWidget* widget, QPoint pos);

// The colour in the middle of what a label shows.
QColor shownColour(const QWidget* label);

// The factor a window's layout is drawn at: its client area `area` against the designed one.
double layoutFactor(const QWidget* area, int designedWidth);
// Every control of `controls` in `area` lies at its designed place times one factor, at least 1,
// within a pixel of rounding, and shows its text in the application's font.
void verifyScaledLayout(const QWidget* area, std::span<const form::Control> controls,
                        int designedWidth, int designedHeight);

} // namespace quillarbor::test
