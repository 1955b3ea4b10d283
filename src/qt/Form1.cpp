#include "qt/Form1.h"

#include "app/Form1Presenter.h"
#include "app/messages.h"
#include "app/startup_rules.h"
#include "qt/DriveChooser.h"
#include "qt/FileList.h"
#include "qt/FolderChooser.h"
#include "qt/MessageBox.h"
#include "qt/Ticker.h"
#include "qt/TrayIcon.h"
#include "qt/frmAbout.h"
#include "rotation/skin_file.h"
#include "rotation/skins.h"
#include "version.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace quillarbor {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr QSize kClientArea(7515 / kTwipsPerPixel, 5850 / kTwipsPerPixel);

void place(QWidget* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                         height / kTwipsPerPixel);
}

// What a screen reader announces for a control. A label given a name is read by
// that name instead of its text, so captions keep their text as their name.
void describe(QWidget* control, const char* name, const char* description) {
    control->setAccessibleName(QString::fromUtf8(name));
    control->setAccessibleDescription(QString::fromUtf8(description));
}

// The picture in a file, or a null image when it is missing or not a picture.
// Read through the core's path conversion so that any listed name opens.
QImage loadPicture(const std::string& picName) {
    const auto file = readSkinFile(picName);
    if (!file) {
        return {};
    }
    QByteArray bytes = QByteArray::fromRawData(file->data(), static_cast<qsizetype>(file->size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Skins are bitmaps: asked first, the bitmap reader spares loading every image plugin.
    QImageReader bitmapReader(&buffer, "bmp");
    bitmapReader.setAutoDetectImageFormat(false);
    QImage picture = bitmapReader.read();
    if (picture.isNull()) {
        // Some other picture under a bitmap's name.
        buffer.seek(0);
        QImageReader anyReader(&buffer);
        picture = anyReader.read();
    }
    return picture;
}

// The captions were sized for a narrow 8-point face. The boxes keep their size;
// the type shrinks until every caption fits its box.
void fitCaptions(QWidget* area, std::initializer_list<const QLabel*> labels) {
    QFont font = area->font();
    qreal size = font.pointSizeF() > 0 ? std::min<qreal>(font.pointSizeF(), 8.0) : 8.0;
    constexpr qreal kSmallest = 6.0;
    for (;; size -= 0.5) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const QLabel* label : labels) {
            fits = fits && metrics.horizontalAdvance(label->text()) <= label->width() &&
                   metrics.height() <= label->height();
        }
        if (fits || size <= kSmallest) {
            break;
        }
    }
    area->setFont(font);
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

Form1::Form1(Ticker* ticker, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      Timer1(ticker != nullptr ? ticker : new IntervalTicker(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    createControls();
    createMenus();
    tray_ = new TrayIcon(windowIcon(), this);
    // One menu, whichever way a notification area shows it.
    tray_->setMenu(mnu_1);

    // Fixed to the client area plus whatever the menu bar needs.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

void Form1::attach(Form1Presenter& presenter) {
    presenter_ = &presenter;
    connect(Timer1, &Ticker::tick, this, [this] { presenter_->onTimer1Tick(); });
    // Edits by the user only: the presenter's own changes of the text raise nothing.
    connect(txtDelay, &QLineEdit::textEdited, this,
            [this](const QString& text) { presenter_->onDelayEdited(text.toStdString()); });

    using TrayEvent = Form1Presenter::TrayEvent;
    connect(tray_, &TrayIcon::leftButtonReleased, this,
            [this] { presenter_->onTrayEvent(TrayEvent::LeftButtonUp); });
    connect(tray_, &TrayIcon::leftDoubleClicked, this,
            [this] { presenter_->onTrayEvent(TrayEvent::LeftDoubleClick); });
    connect(tray_, &TrayIcon::rightButtonReleased, this,
            [this] { presenter_->onTrayEvent(TrayEvent::RightButtonUp); });
    connect(tray_, &TrayIcon::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            // Once the window system has settled the window's state.
            QTimer::singleShot(0, this, [this] { presenter_->onTrayAppeared(); });
        }
    });
}

void Form1::createControls() {
    auto* area = new QWidget(this);
    area->setFixedSize(kClientArea);
    setCentralWidget(area);

    // In tab order. Command1 lies right of the client area: never seen, it
    // holds the focus at start so that no visible control shows a focus mark
    // and Enter or Space do nothing.
    Command1 = new QPushButton(QStringLiteral("Command1"), area);
    place(Command1, "Command1", 7680, 600, 1335, 615);
    File1 = new FileList(area);
    place(File1, "File1", 4080, 360, 3255, 2235);
    Dir1 = new FolderChooser(area);
    place(Dir1, "Dir1", 240, 720, 3735, 1890);
    Drive1 = new DriveChooser(area);
    place(Drive1, "Drive1", 240, 360, 3735, 315);
    Label2 = new QLabel(QStringLiteral("*.BMP path"), area);
    place(Label2, "Label2", 240, 120, 1575, 255);
    Label4 = new QLabel(QStringLiteral("Skins list (dbl-click to change now)"), area);
    place(Label4, "Label4", 4080, 120, 2535, 255);
    txtDelay = new QLineEdit(QStringLiteral("1"), area);
    place(txtDelay, "txtDelay", 1800, 2760, 975, 375);
    Label5 = new QLabel(QStringLiteral("Delay in minutes"), area);
    place(Label5, "Label5", 240, 2760, 1575, 255);
    Label6 = new QLabel(QStringLiteral("Countdown (secs)"), area);
    place(Label6, "Label6", 3000, 2760, 1575, 255);
    txtCountdown = new QLineEdit(area);
    place(txtCountdown, "txtCountdown", 4560, 2760, 975, 375);
    txtCountdown->setReadOnly(true);
    Label3 = new QLabel(area);
    place(Label3, "Label3", 360, 5160, 6855, 375);
    Label3->setTextFormat(Qt::PlainText); // file names are not markup
    cmdRefresh = new QPushButton(QStringLiteral("Refresh"), area);
    place(cmdRefresh, "cmdRefresh", 5880, 2760, 1335, 375);
    imgPreview = new QLabel(area);
    place(imgPreview, "imgPreview", 240, 3240, 7050, 1725);
    imgPreview->setFrameShape(QFrame::Box);
    imgPreview->setLineWidth(1);
    imgPreview->setScaledContents(true);

    describe(Command1, "Start focus",
             "Holds the focus when the window opens and does nothing; Tab moves to the skin list.");
    describe(File1, "Skin list",
             "The bitmaps in the skin folder. Enter or a double-click applies the chosen one.");
    describe(Dir1, "Skin folder", "The folder whose bitmaps are listed. Enter opens a folder.");
    describe(Drive1, "Drive", "The drive the skin folder is on.");
    describe(txtDelay, "Delay in minutes", "Minutes between skin changes.");
    describe(txtCountdown, "Seconds to the next change", "Counts down to the next skin change.");
    describe(cmdRefresh, "Refresh the skin list", "Reads the skin folder again.");
    describe(imgPreview, "Preview of the chosen skin", "The skin shown last.");
    describe(Label3, "Last shown skin", "Names the skin shown last; empty until one is shown.");
    describe(Label2, "", "Caption of the drive and folder lists.");
    describe(Label4, "", "Caption of the skin list.");
    describe(Label5, "", "Caption of the delay box.");
    describe(Label6, "", "Caption of the countdown box.");
    // Captions carry no access keys; buddies still tell a screen reader what they name.
    Label2->setBuddy(Drive1);
    Label4->setBuddy(File1);
    Label5->setBuddy(txtDelay);
    Label6->setBuddy(txtCountdown);

    fitCaptions(area, {Label2, Label4, Label5, Label6});

    setTabOrder(Command1, File1);
    setTabOrder(File1, Dir1);
    setTabOrder(Dir1, Drive1);
    setTabOrder(Drive1, txtDelay);
    setTabOrder(txtDelay, txtCountdown);
    setTabOrder(txtCountdown, cmdRefresh);
    Command1->setFocus();

    connect(Drive1, &DriveChooser::driveChanged, this, &Form1::onDriveChanged);
    connect(Dir1, &FolderChooser::pathChanged, this, &Form1::onFolderChanged);
    connect(Dir1, &FolderChooser::openFailed, this, &Form1::reportUnreadable);
    connect(cmdRefresh, &QPushButton::clicked, File1, &FileList::refresh);
    const auto applySelected = [this] { presenter_->onSkinChosen(); };
    connect(File1, &FileList::entryDoubleClicked, this, applySelected);
    // The keyboard's way to "change now".
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* apply = new QShortcut(QKeySequence(key), File1);
        apply->setContext(Qt::WidgetShortcut);
        connect(apply, &QShortcut::activated, this, applySelected);
    }
}

void Form1::createMenus() {
    const auto item = [](QMenu* menu, const char* caption, const char* name,
                         bool checkable = false) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuSystray = item(mnuFile, "Start in system tray", "mnuSystray", true);
    mnuStartup = item(mnuFile, "Run at startup", "mnuStartup", true);
    mnuExit = item(mnuFile, "Exit", "mnuExit");

    // The tray icon's pop-up; never part of the menu bar.
    mnu_1 = new QMenu(QStringLiteral("Popup"), this);
    mnu_1->setObjectName(QStringLiteral("mnu_1"));
    mnuSystray2 = item(mnu_1, "Start in system tray", "mnuSystray2", true);
    mnuStartup2 = item(mnu_1, "Run at startup", "mnuStartup2", true);
    mnuSettings = item(mnu_1, "Settings", "mnuSettings");
    mnuTerminate = item(mnu_1, "Terminate", "mnuTerminate");

    mnuHelp0 = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp0->setObjectName(QStringLiteral("mnuHelp0"));
    mnuReset = item(mnuHelp0, "Reset before uninstall", "mnuReset");
    mnuAbout = item(mnuHelp0, "About", "mnuAbout");

    // The captions carry no access keys. Alt then the arrows reaches the menus in
    // styles that allow it; F10 opens the first menu in any style.
    auto* openMenus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(openMenus, &QShortcut::activated, this, [this] {
        menuBar()->setActiveAction(mnuFile->menuAction());
        mnuFile->setActiveAction(mnuFile->actions().constFirst());
    });

    // Qt flips a checkable item before reporting the click; the presenter sets both marks of
    // the pair afterwards.
    connect(mnuSystray, &QAction::triggered, this, [this] { presenter_->onStartInTrayClicked(); });
    connect(mnuSystray2, &QAction::triggered, this, [this] { presenter_->onStartInTrayClicked(); });
    connect(mnuStartup, &QAction::triggered, this, [this] { presenter_->onRunAtStartupClicked(); });
    connect(mnuStartup2, &QAction::triggered, this,
            [this] { presenter_->onRunAtStartupClicked(); });
    connect(mnuSettings, &QAction::triggered, this, [this] { presenter_->onSettingsClicked(); });
    connect(mnuExit, &QAction::triggered, this, [this] { presenter_->onExitClicked(); });
    connect(mnuTerminate, &QAction::triggered, this, [this] { presenter_->onExitClicked(); });
    connect(mnuReset, &QAction::triggered, this, [this] { presenter_->onResetClicked(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { presenter_->onAboutClicked(); });
}

std::string Form1::delayText() const {
    return txtDelay->text().toStdString();
}

void Form1::setDelayText(std::string_view text) {
    txtDelay->setText(toQString(text));
}

std::string Form1::countdownText() const {
    return txtCountdown->text().toStdString();
}

void Form1::setCountdownText(std::string_view text) {
    txtCountdown->setText(toQString(text));
}

void Form1::setLastShownText(std::string_view text) {
    Label3->setText(toQString(text));
    Label3->setAccessibleName(Label3->text()); // its name would hide the text otherwise
}

bool Form1::showSkinFolder(const std::string& folder) {
    const QSignalBlocker quietDrive(Drive1);
    Drive1->setDrive(folder);
    std::optional<std::vector<std::string>> skins;
    {
        // One reading of the folder fills both lists: the chooser's change would read it again.
        const QSignalBlocker quietFolder(Dir1);
        skins = Dir1->setPathAndList(folder, matchesSkinPattern);
    }
    // The drive of the folder as the chooser resolved it (or of the one it stayed on).
    Drive1->setDrive(Dir1->path());
    if (!skins) {
        return false;
    }
    File1->setPath(Dir1->path(), std::move(*skins));
    return true;
}

std::string Form1::skinFolder() const {
    return File1->path();
}

std::size_t Form1::refreshSkinList() {
    File1->refresh();
    return static_cast<std::size_t>(File1->listCount());
}

std::string Form1::skinAt(std::size_t index) const {
    return File1->list(static_cast<int>(index));
}

int Form1::selectedSkin() const {
    return File1->listIndex();
}

bool Form1::showPreview(const std::string& picName) {
    QImage picture = loadPicture(picName);
    if (picture.isNull()) {
        return false;
    }
    // Handed over, the picture becomes the pixmap without a second copy of its pixels.
    imgPreview->setPixmap(QPixmap::fromImage(std::move(picture)));
    return true;
}

void Form1::clearPreview() {
    imgPreview->clear();
}

void Form1::setStartInTrayChecked(bool checked) {
    mnuSystray->setChecked(checked);
    mnuSystray2->setChecked(checked);
}

void Form1::setRunAtStartupChecked(bool checked) {
    mnuStartup->setChecked(checked);
    mnuStartup2->setChecked(checked);
}

void Form1::centreOnScreen() {
    // The frame counts once the window system has told its size; before the first show only
    // the window itself is known.
    const QRect screenArea = screen()->geometry();
    const QSize outer = frameGeometry().size();
    move(screenArea.x() + (screenArea.width() - outer.width()) / 2,
         screenArea.y() + (screenArea.height() - outer.height()) / 2);
}

Form1View::WindowState Form1::windowState() const {
    return isMinimized() ? WindowState::Minimised : WindowState::Normal;
}

void Form1::setWindowState(WindowState state) {
    if (state == WindowState::Minimised) {
        QMainWindow::setWindowState(QMainWindow::windowState() | Qt::WindowMinimized);
        return;
    }
    if (isHidden()) {
        forgetMinimisedHint();
    }
    QMainWindow::setWindowState(QMainWindow::windowState() & ~Qt::WindowMinimized);
}

bool Form1::isWindowVisible() const {
    return isVisible();
}

void Form1::showWindow() {
    show();
    if (std::exchange(frontWhenShown_, false)) {
        raise();
        activateWindow();
    }
}

void Form1::hideWindow() {
    hide();
}

void Form1::repaint() {
    QMainWindow::repaint();
}

void Form1::bringToFront() {
    // A hidden window cannot be raised yet: it comes to the front once it is shown.
    if (!isVisible()) {
        frontWhenShown_ = true;
        return;
    }
    raise();
    activateWindow();
}

void Form1::forgetMinimisedHint() {
    // A window the program minimised itself (a start in the tray) keeps, under X11, the hint to
    // be mapped minimised, even after the window manager has restored or withdrawn it: shown
    // again, it would come back minimised and hide at once. Any change between states that are
    // not minimised rewrites the hint, and maps nothing.
    QWindow* native = windowHandle();
    if (native == nullptr || native->windowStates().testFlag(Qt::WindowMinimized)) {
        return;
    }
    const Qt::WindowStates states = native->windowStates();
    native->setWindowStates(states ^ Qt::WindowMaximized);
    native->setWindowStates(states);
}

void Form1::addTrayIcon(std::string_view tip) {
    tray_->addTrayIcon(toQString(tip));
}

void Form1::setTrayTip(std::string_view tip) {
    tray_->setTrayTip(toQString(tip));
}

void Form1::removeTrayIcon() {
    tray_->removeTrayIcon();
}

bool Form1::isTrayIconShown() const {
    return tray_->isVisibleInTray();
}

void Form1::openTrayMenu() {
    // Some notification areas open the icon's menu themselves as they report the click.
    if (!mnu_1->isVisible()) {
        mnu_1->popup(QCursor::pos());
    }
}

Form1View::Answer Form1::messageBox(std::string_view text, std::string_view title,
                                    Buttons buttons) {
    const int answer =
        MessageBox::show(this, toQString(text), toQString(title),
                         buttons == Buttons::OkCancel ? MessageBox::OkCancel : MessageBox::OkOnly);
    return answer == MessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

void Form1::showAbout() {
    // Made for each opening and gone once closed, so every opening loads it afresh. Guarded:
    // the window could be torn down while the dialog's loop runs.
    QPointer<frmAbout> about = new frmAbout(
        [](QWidget* parent, const QString& text, const QString& title) {
            MessageBox::show(parent, text, title, MessageBox::OkOnly);
        },
        this);
    about->exec();
    delete about;
}

void Form1::warn(std::string_view text) {
    qWarning("%s", std::string(text).c_str());
}

void Form1::setBeatEnabled(bool enabled) {
    Timer1->setEnabled(enabled);
}

void Form1::end() {
    emit ended();
}

void Form1::onDriveChanged(const std::string& drive) {
    // A drive is entered at the current folder when that lies on it.
    const std::string current = currentFolder();
    const std::string target = Drive1->driveOf(current) == drive ? current : drive;
    if (!Dir1->setPath(target)) {
        {
            const QSignalBlocker quiet(Drive1);
            Drive1->setDrive(Dir1->path());
        }
        reportUnreadable(target);
    }
}

void Form1::onFolderChanged(const std::string& folder) {
    File1->setPath(folder);
    // Going up from a mount point leaves its drive: the drive chooser follows.
    const QSignalBlocker quiet(Drive1);
    Drive1->setDrive(folder);
}

void Form1::reportUnreadable(const std::string& folder) {
    MessageBox::show(this, toQString(messages::folderCannotBeRead(folder)),
                     QString::fromLatin1(kAppTitle), MessageBox::OkOnly);
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && presenter_ != nullptr) {
        // Once the window system has finished minimising it.
        QTimer::singleShot(0, this, [this] { presenter_->onWindowMinimised(); });
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (presenter_ != nullptr) {
        presenter_->onClose();
    }
    event->accept();
}

} // namespace quillarbor
