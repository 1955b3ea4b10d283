#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QPushButton;

namespace quillarbor {

// The About box: the program's title, version and description, and a button
// that starts the system information tool named in the machine-wide settings.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Shows `text` in a modal box with an OK button only, captioned `title`,
    // and returns when it is closed.
    using ShowMessage =
        std::function<void(QWidget* parent, const QString& text, const QString& title)>;
    // Starts the program at `path` without waiting for it; false when it cannot be started.
    using Launcher = std::function<bool(const QString& path)>;

    // An empty `launch` starts programs as detached processes.
    explicit frmAbout(ShowMessage showMessage, QWidget* parent = nullptr, Launcher launch = {});

    // Starts the system information tool, or says that it is unavailable. The
    // dialog stays open either way.
    void StartSysInfo();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void load();
    void centreOnScreen();
    void showUnavailable();

    ShowMessage showMessage_;
    Launcher launch_;
    double scale_ = 1.0 / 15; // pixels to a twip, once the layout is fitted

    QPushButton* cmdOK = nullptr;
    QLabel* picIcon = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
};

} // namespace quillarbor
