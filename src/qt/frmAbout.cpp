#include "qt/frmAbout.h"

#include "app/sys_info.h"
#include "rotation/skins.h"
#include "settings/key_value.h"
#include "settings/registry.h"
#include "version.h"

#include <QApplication>
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
#include <QStyle>

#include <exception>
#include <optional>
#include <string>
#include <utility>

namespace quillarbor {

namespace {

// The layout is designed in twips, 15 to a pixel.
constexpr int px(int twips) {
    return twips / 15;
}
constexpr qreal pxF(int twips) {
    return twips / 15.0;
}

void place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(px(left), px(top), px(width), px(height));
}

constexpr const char* kIcon = ":/icons/quillarbor-32.png";

const char* const kDescription =
    "This app will switch the default wallpaper for Microsoft Internet Explorer 5+ at a "
    "specified interval. It will NOT change a window already open however. This is freeware. "
    "E-mail comments to quillarbor@example.org.";
const char* const kNotice = "Copyright \u00a9 2026 the Quillarbor developers.";

// The administrator may name any program; an empty path names none.
bool startDetached(const QString& path) {
    return !path.isEmpty() && QProcess::startDetached(path);
}

// A normal file: it exists, is not a folder and is not hidden.
bool isNormalFile(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    return info.isFile() && !info.isHidden();
}

// Whether every text of the dialog fits its control when drawn in `font`.
bool textsFit(const QWidget* dialog, const QFont& font) {
    const QFontMetrics metrics(font);
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        const QRect box = label->contentsRect();
        const QRect needed = metrics.boundingRect(QRect(0, 0, box.width(), 100 * box.height()),
                                                  Qt::TextWordWrap, label->text());
        if (needed.width() > box.width() || needed.height() > box.height()) {
            return false;
        }
    }
    for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        if (metrics.horizontalAdvance(text) + 2 * margin > button->width()) {
            return false;
        }
    }
    return true;
}

QMargins frameOf(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// What a screen reader announces for a control.
void describe(QWidget* control, const QString& name, const char* description) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(QString::fromUtf8(description));
}

QLabel* makeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
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
    setFixedSize(px(5730), px(4200));
    setWindowIcon(QIcon(QString::fromLatin1(kIcon)));
    createControls();
}

void frmAbout::createControls() {
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 4365, 3105, 1260, 345);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    // The icon has no use for the keyboard, so the tab order skips it.
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    place(picIcon, 240, 240, 540, 540);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(QPixmap(QString::fromLatin1(kIcon)));

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    place(cmdSysInfo, 4380, 3555, 1245, 345);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    lblDescription = makeLabel(this, "lblDescription");
    place(lblDescription, 1080, 960, 3885, 810);
    lblDescription->setText(QString::fromUtf8(kDescription));

    lblDisclaimer = makeLabel(this, "lblDisclaimer");
    place(lblDisclaimer, 360, 2745, 3870, 1305);

    lblTitle = makeLabel(this, "lblTitle");
    place(lblTitle, 1080, 240, 3885, 240);

    lblVersion = makeLabel(this, "lblVersion");
    place(lblVersion, 1080, 600, 3885, 225);

    Label1 = makeLabel(this, "Label1");
    place(Label1, 1080, 2040, 3855, 495);
    Label1->setText(QString::fromUtf8(kNotice));

    // Black whatever the desktop's text colour; the version and the notice keep the desktop's.
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    for (QLabel* label : {lblDescription, lblDisclaimer, lblTitle}) {
        label->setPalette(black);
    }

    // A label given a name is read by that name instead of its text, so the labels
    // that show text keep their text as their name; only the blank ones get one.
    describe(cmdOK, QStringLiteral("OK"), "Closes this box. Enter and Esc do the same.");
    describe(cmdSysInfo, QStringLiteral("System Info"),
             "Starts the system information tool. Alt+S does the same.");
    describe(picIcon, QStringLiteral("Program icon"), "The program's icon.");
    describe(lblTitle, QString(), "The program's name.");
    describe(lblVersion, QString(), "The program's version.");
    describe(lblDescription, QString(), "What the program does.");
    describe(Label1, QString(), "Copyright notice.");
    describe(lblDisclaimer, QStringLiteral("Warning"), "A legal warning; empty in this version.");

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
    const QString title = QString::fromUtf8(kAppTitle);
    setWindowTitle(QStringLiteral("About ") + title);
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(kVersionMajor)
                            .arg(kVersionMinor)
                            .arg(kVersionRevision));
    lblTitle->setText(title);
    fitFont();
    centreOnScreen();
    cmdOK->setFocus();
}

// The layout is fixed in size, and most desktop fonts are too wide for the
// description, so the dialog steps its font down until every text fits.
void frmAbout::fitFont() {
    constexpr qreal kSmallest = 6.0;
    QFont shown = QApplication::font(this);
    if (shown.pointSizeF() <= 0) {
        setFont(shown); // sized in pixels: nothing to step
        return;
    }
    while (shown.pointSizeF() > kSmallest && !textsFit(this, shown)) {
        shown.setPointSizeF(shown.pointSizeF() - 0.5);
    }
    setFont(shown);
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
    // The separator between the notice and the warning: a grey line under a
    // white one, both running past the right edge.
    QPainter painter(this);
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.drawLine(QLineF(pxF(210), pxF(2640), pxF(5774), pxF(2640)));
    painter.setPen(QPen(QColor(255, 255, 255), 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QLineF(pxF(225), pxF(2640), pxF(5774), pxF(2640)));
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
