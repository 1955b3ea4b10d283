#include "qt/frmAbout.h"

#include "app/sys_info.h"
#include "app/window_forms.h"
#include "qt/fitted_layout.h"
#include "rotation/skins.h"
#include "settings/key_value.h"
#include "settings/registry.h"
#include "version.h"

#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <cmath>
#include <exception>
#include <optional>
#include <string>
#include <utility>

namespace quillarbor {

namespace {

constexpr const char* kIcon = ":/icons/quillarbor-32.png";

// The administrator may name any program; an empty path names none.
bool startDetached(const QString& path) {
    return !path.isEmpty() && QProcess::startDetached(path);
}

// A normal file: it exists, is not a folder and is not hidden.
bool isNormalFile(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    return info.isFile() && !info.isHidden();
}

QMargins frameOf(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* makeLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

frmAbout::frmAbout(ShowMessage showMessage, QWidget* parent, Launcher launch)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      showMessage_(std::move(showMessage)),
      launch_(launch ? std::move(launch) : Launcher(startDetached)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowIcon(QIcon(QString::fromLatin1(kIcon)));
    createControls();
}

void frmAbout::createControls() {
    for (const form::Control& control : form::kAboutControls) {
        QWidget* widget = nullptr;
        if (control.kind == form::Kind::Button) {
            widget = new QPushButton(toQString(control.text), this);
        } else {
            auto* label = makeLabel(this);
            label->setText(toQString(control.text));
            widget = label;
        }
        widget->setObjectName(toQString(control.name));
        // A label given a name is read by that name instead of its text, so the labels that show
        // text keep their text as their name; only the blank ones get one.
        widget->setAccessibleName(toQString(control.accessibleName));
        widget->setAccessibleDescription(toQString(control.accessibleDescription));
    }
    cmdOK = findChild<QPushButton*>(QStringLiteral("cmdOK"));
    cmdSysInfo = findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    picIcon = findChild<QLabel*>(QStringLiteral("picIcon"));
    lblTitle = findChild<QLabel*>(QStringLiteral("lblTitle"));
    lblVersion = findChild<QLabel*>(QStringLiteral("lblVersion"));

    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(QPixmap(QString::fromLatin1(kIcon)));

    // Black whatever the desktop's text colour; the version and the notice keep the desktop's.
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    for (const char* name : {"lblDescription", "lblDisclaimer", "lblTitle"}) {
        findChild<QLabel*>(QString::fromLatin1(name))->setPalette(black);
    }

    // The icon has no use for the keyboard, so the tab order skips it.
    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, cmdOK);
}

void frmAbout::showEvent(QShowEvent* event) {
    // A window manager's own re-show (after a desktop switch, say) is not an opening.
    if (!event->spontaneous()) {
        load();
    }
    QDialog::showEvent(event);
}

void frmAbout::load() {
    setWindowTitle(QString::fromStdString(form::aboutTitle()));
    lblVersion->setText(QString::fromStdString(form::aboutVersion()));
    lblTitle->setText(QString::fromUtf8(kAppTitle));
    // The type stays the desktop's; the layout grows by one factor if a text needs it.
    scale_ =
        fitLayout(this, form::kAboutControls, form::kAboutClientWidth, form::kAboutClientHeight);
    centreOnScreen();
    cmdOK->setFocus();
}

void frmAbout::centreOnScreen() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QRect area = (owner != nullptr ? owner->screen() : screen())->availableGeometry();
    // Before its first showing the dialog's frame is unknown (on X11) and move()
    // places the client area; the owner's frame is then the best guess.
    const QMargins ownFrame = frameOf(this);
    const QMargins frame = ownFrame.isNull() && owner != nullptr ? frameOf(owner) : ownFrame;
    const QSize outer = size().grownBy(frame);
    const QPoint topLeft(area.x() + (area.width() - outer.width()) / 2,
                         area.y() + (area.height() - outer.height()) / 2);
    move(ownFrame.isNull() ? topLeft + QPoint(frame.left(), frame.top()) : topLeft);
}

void frmAbout::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const form::Separator& line = form::kAboutSeparator;
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    // Whole pixels, as the controls are placed.
    const auto px = [this](int twips) { return qreal(std::lround(twips * scale_)); };
    painter.drawLine(QLineF(px(line.greyLeft), px(line.top), px(line.right), px(line.top)));
    painter.setPen(QPen(QColor(255, 255, 255), 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QLineF(px(line.whiteLeft), px(line.top), px(line.right), px(line.top)));
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // Esc presses OK, as Enter does.
    if (event->matches(QKeySequence::Cancel)) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::StartSysInfo() {
    const SysInfoServices services{GetKeyValue, isNormalFile, [this](const std::string& path) {
                                       return launch_(QString::fromStdString(path));
                                   }};
    if (!quillarbor::StartSysInfo(services)) {
        showUnavailable();
    }
}

void frmAbout::showUnavailable() {
    showMessage_(this,
                 QString::fromUtf8(kSysInfoUnavailable.data(),
                                   static_cast<qsizetype>(kSysInfoUnavailable.size())),
                 QString::fromUtf8(kAppTitle));
}

} // namespace quillarbor
