#include "app/Form1.h"

#include "about/frmAbout.h"
#include "app/DriveChooser.h"
#include "app/FileList.h"
#include "app/FolderChooser.h"
#include "app/MessageBox.h"
#include "app/Ticker.h"
#include "app/run_at_logon.h"
#include "app/startup_rules.h"
#include "rotation/bitmap_check.h"
#include "rotation/conversions.h"
#include "rotation/countdown.h"
#include "rotation/path_text.h"
#include "rotation/random_source.h"
#include "rotation/skins.h"
#include "settings/registry.h"
#include "tray/TrayIcon.h"
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
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string_view>
#include <system_error>

namespace quillarbor {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr QSize kClientArea(7515 / kTwipsPerPixel, 5850 / kTwipsPerPixel);

// Larger than any toolbar bitmap by far; such a file is not read into memory.
constexpr std::uintmax_t kMaxPictureBytes = 256u * 1024 * 1024;

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

std::string currentFolder() {
    std::error_code error;
    const auto folder = std::filesystem::current_path(error);
    return error ? std::string() : textFromPath(folder).value_or(std::string());
}

// The picture in a file, or a null image when it is missing or not a picture.
// Read through the core's path conversion so that any listed name opens.
QImage loadPicture(const std::string& picName) {
    const auto path = pathFromText(picName);
    if (!path) {
        return {};
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(*path, error);
    if (error || size > kMaxPictureBytes) {
        return {};
    }
    std::ifstream file(*path, std::ios::binary);
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (!file.read(bytes.data(), static_cast<std::streamsize>(size))) {
        return {};
    }
    if (bitmapIsCutShort(std::string_view(bytes.constData(), static_cast<std::size_t>(size)))) {
        return {}; // Qt would show what is there; the browser could not load it
    }
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

// A delay is only taken when every draw from it fits: one that fits for some
// draws only would fail by chance, minutes or days later.
bool everyDrawFits(double delayMinutes) {
    return drawCountdownSeconds(delayMinutes, 0.0f) &&
           drawCountdownSeconds(delayMinutes, std::nextafter(1.0f, 0.0f));
}

} // namespace

Form1::Form1(RandomSource& random, Ticker* ticker, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      random_(random), Timer1(ticker != nullptr ? ticker : new IntervalTicker(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    createControls();
    createMenus();

    connect(Timer1, &Ticker::tick, this, &Form1::onTimer1Tick);
    connect(txtDelay, &QLineEdit::textChanged, this, &Form1::onDelayChanged);

    tray_ = new TrayIcon(windowIcon(), this);
    connect(tray_, &TrayIcon::leftButtonReleased, this, &Form1::showFromTray);
    connect(tray_, &TrayIcon::leftDoubleClicked, this, &Form1::showFromTray);
    connect(tray_, &TrayIcon::rightButtonReleased, this, &Form1::openTrayMenu);
    // A window minimised while there was nowhere to hide it goes there once there is.
    connect(tray_, &TrayIcon::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            QTimer::singleShot(0, this, &Form1::hideIfMinimisedToTray);
        }
    });

    // Fixed to the client area plus whatever the menu bar needs.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
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

    // The lists start on the process's current folder.
    const std::string start = currentFolder();
    {
        const QSignalBlocker quiet(Drive1);
        Drive1->setDrive(start);
    }
    Dir1->setPath(start);
    File1->setPath(Dir1->path().empty() ? start : Dir1->path());

    connect(Drive1, &DriveChooser::driveChanged, this, &Form1::onDriveChanged);
    connect(Dir1, &FolderChooser::pathChanged, this, &Form1::onFolderChanged);
    connect(Dir1, &FolderChooser::openFailed, this, &Form1::reportUnreadable);
    connect(cmdRefresh, &QPushButton::clicked, File1, &FileList::refresh);
    connect(File1, &FileList::entryDoubleClicked, this, &Form1::applySelectedSkin);
    // The keyboard's way to "change now".
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* apply = new QShortcut(QKeySequence(key), File1);
        apply->setContext(Qt::WidgetShortcut);
        connect(apply, &QShortcut::activated, this, &Form1::applySelectedSkin);
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

    // Qt flips a checkable item before reporting the click, so the mark the
    // File menu's item had before the click is worked out first.
    connect(mnuSystray, &QAction::triggered, this,
            [this] { toggleStartInTray(!mnuSystray->isChecked()); });
    connect(mnuSystray2, &QAction::triggered, this,
            [this] { toggleStartInTray(mnuSystray->isChecked()); });
    connect(mnuStartup, &QAction::triggered, this,
            [this] { toggleRunAtStartup(!mnuStartup->isChecked()); });
    connect(mnuStartup2, &QAction::triggered, mnuStartup, &QAction::trigger);
    connect(mnuSettings, &QAction::triggered, this, &Form1::showFromTray);
    connect(mnuExit, &QAction::triggered, this, &Form1::unload);
    connect(mnuTerminate, &QAction::triggered, mnuExit, &QAction::trigger);
    connect(mnuReset, &QAction::triggered, this, &Form1::resetBeforeUninstall);
    connect(mnuAbout, &QAction::triggered, this, &Form1::showAbout);
}

bool Form1::load(const std::vector<std::string>& args) {
    commandLine_ = captureCommandLine(args);
    centreOnScreen();
    restoreSkinFolder();

    const std::string delay =
        regGetString(RegRoot::CurrentUser, loc::settingDelay, loc::settingValue);
    if (!delay.empty() && parseNumber(delay)) {
        txtDelay->setText(QString::fromStdString(delay));
    }

    const std::string systray =
        regGetString(RegRoot::CurrentUser, loc::settingSystray, loc::settingValue);
    if (const auto startInTray = textToBool(systray)) {
        mnuSystray->setChecked(*startInTray);
        mnuSystray2->setChecked(*startInTray);
    }

    const bool runsAtLogon =
        !regGetString(RegRoot::CurrentUser, loc::runKey, loc::runValue).empty();
    mnuStartup->setChecked(runsAtLogon);
    mnuStartup2->setChecked(runsAtLogon);

    const auto delayMinutes = parseNumber(txtDelay->text().toStdString());
    if (!delayMinutes || !(*delayMinutes >= kMinimumDelay)) {
        txtDelay->setText(QStringLiteral("1"));
    }

    // The random source was seeded from the clock when it was made.
    lastShown_.clear();

    if (mnuSystray->isChecked()) {
        setWindowState(windowState() | Qt::WindowMinimized);
    }

    show();
    repaint();

    addTrayIcon();

    if (isOneShot(commandLine_)) {
        pickRandomSkin();
        unload();
        return true;
    }

    resetCountdown();
    return false;
}

void Form1::centreOnScreen() {
    // The frame counts once the window system has told its size; before the
    // first show only the window itself is known.
    const QRect screenArea = screen()->geometry();
    const QSize outer = frameGeometry().size();
    move(screenArea.x() + (screenArea.width() - outer.width()) / 2,
         screenArea.y() + (screenArea.height() - outer.height()) / 2);
}

void Form1::restoreSkinFolder() {
    const std::string saved =
        regGetString(RegRoot::CurrentUser, loc::settingPath, loc::settingValue);
    if (!PathExists(saved)) {
        return;
    }
    // No box can be answered before the window is up (nor by a scheduled
    // one-shot run): a folder that cannot be read is only reported on stderr.
    quietErrors_ = true;
    Drive1->setDrive(saved);
    File1->setPath(saved);
    if (!Dir1->setPath(saved)) {
        reportUnreadable(saved);
    } else if (File1->path() != Dir1->path()) {
        // A relative saved path ("."), when it resolves to the folder already
        // shown, changes no folder: the list takes the full path all the same,
        // since the skins it names are handed to the browser.
        File1->setPath(Dir1->path());
    }
    quietErrors_ = false;
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
    const QString text =
        QStringLiteral("The folder %1 cannot be read.").arg(QString::fromStdString(folder));
    if (quietErrors_) {
        qWarning("%s", qPrintable(text));
        return;
    }
    MessageBox::show(this, text, QString::fromLatin1(kAppTitle), MessageBox::OkOnly);
}

void Form1::pickRandomSkin() {
    File1->refresh();
    const int n = File1->listCount();
    if (n == 0) {
        return;
    }
    const int i = pickIndex(n, random_.next());
    const std::string name = File1->list(i);
    const std::string picName = addSlash(File1->path()) + name;
    if (!showPreview(picName)) {
        return;
    }
    lastShown_ = name;
    repaint();
    changeSkin(picName);
}

void Form1::applySelectedSkin() {
    const int i = File1->listIndex();
    if (i < 0) {
        return;
    }
    const std::string name = File1->list(i);
    const std::string picName = addSlash(File1->path()) + name;
    if (!showPreview(picName)) {
        return;
    }
    lastShown_ = name;
    changeSkin(picName);
}

bool Form1::showPreview(const std::string& picName) {
    const QImage picture = loadPicture(picName);
    if (picture.isNull()) {
        // Never a box: a timed pick must not wait for an answer. The skin in
        // use and its preview stay.
        qWarning("Cannot load %s as a picture; the skin stays as it was.", picName.c_str());
        return false;
    }
    imgPreview->setPixmap(QPixmap::fromImage(picture));
    return true;
}

void Form1::changeSkin(const std::string& picName) {
    Label3->setText(QString::fromStdString(lastShownCaption(lastShown_)));
    Label3->setAccessibleName(Label3->text()); // its name would hide the text otherwise
    regSaveString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue, picName);
}

void Form1::toggleStartInTray(bool wasChecked) {
    mnuSystray->setChecked(!wasChecked);
    mnuSystray2->setChecked(mnuSystray->isChecked());
}

void Form1::toggleRunAtStartup(bool wasChecked) {
    mnuStartup->setChecked(!wasChecked);
    mnuStartup2->setChecked(mnuStartup->isChecked());
    if (mnuStartup->isChecked()) {
        const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
        regSaveString(RegRoot::CurrentUser, loc::runKey, loc::runValue,
                      runEntryCommand(folder.toStdString()));
    } else {
        regDeleteValue(RegRoot::CurrentUser, loc::runKey, loc::runValue);
    }
    // Desktops that follow the XDG rules start only what their autostart folder names.
    setAutostart(mnuStartup->isChecked(), runningExecutable());
}

void Form1::resetBeforeUninstall() {
    const QString title = QStringLiteral("Reset Registry before uninstall");
    if (MessageBox::show(this,
                         QStringLiteral("Are you sure you want to do this? (Please see "
                                        "documentation first.)"),
                         title, MessageBox::OkCancel) != MessageBox::Ok) {
        return;
    }
    // A skin applied while the user reads the next box would undo the reset just
    // before the program exits, so the countdown waits for the answer.
    const bool counting = Timer1->isEnabled();
    Timer1->setEnabled(false);
    regSaveString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue, " ");
    if (MessageBox::show(this, QStringLiteral("Quillarbor will exit next."), title,
                         MessageBox::OkCancel) == MessageBox::Ok) {
        unload();
        return;
    }
    Timer1->setEnabled(counting);
}

void Form1::showAbout() {
    // Made for each opening and gone once closed, so every opening loads it afresh.
    // Guarded: the window could be torn down while the dialog's loop runs.
    QPointer<frmAbout> about = new frmAbout(
        [](QWidget* parent, const QString& text, const QString& title) {
            MessageBox::show(parent, text, title, MessageBox::OkOnly);
        },
        this);
    about->exec();
    delete about;
}

void Form1::resetCountdown() {
    Timer1->setEnabled(false);
    const std::int32_t seconds = drawCountdown(random_.next());
    txtCountdown->setText(QString::number(seconds));
    showCountdownTip();
    Timer1->setEnabled(true);
}

std::int32_t Form1::drawCountdown(float r) {
    // A delay such as "2x" passes the minimum test but is no number; the box
    // keeps what the user typed, and countdowns come from the last delay that was.
    const auto delay = parseNumber(txtDelay->text().toStdString());
    if (delay && everyDrawFits(*delay)) {
        lastGoodDelay_ = *delay;
    }
    return drawCountdownSeconds(lastGoodDelay_, r).value_or(0);
}

void Form1::onTimer1Tick() {
    // Only this window writes the box; should it ever hold no number, the
    // countdown has run out.
    const double t = parseNumber(txtCountdown->text().toStdString()).value_or(0.0);
    if (t < 1) {
        pickRandomSkin();
        resetCountdown();
    } else {
        txtCountdown->setText(toQString(numberToText(t - 1)));
        showCountdownTip();
    }
    // Pending events run as soon as this returns to the event loop; running
    // them from in here would let a second tick start inside this one.
}

void Form1::onDelayChanged(const QString& text) {
    if (leadingNumber(text.toStdString()) < kMinimumDelay) {
        // Raises this event again at once; that run draws a countdown, and so
        // does this one after it.
        txtDelay->setText(toQString(kMinimumDelayText));
    }
    Timer1->setEnabled(false);
    Timer1->setEnabled(true);
    resetCountdown();
}

void Form1::showCountdownTip() {
    setTrayTip(toQString(countdownTooltip(txtCountdown->text().toStdString(), lastShown_)));
}

const TrayIconData& Form1::trayIconData() const {
    return tray_->trayIconData();
}

void Form1::addTrayIcon() {
    tray_->addTrayIcon();
}

void Form1::setTrayTip(const QString& text) {
    tray_->setTrayTip(text);
}

void Form1::removeTrayIcon() {
    tray_->removeTrayIcon();
}

void Form1::showFromTray() {
    if (isHidden()) {
        forgetMinimisedHint();
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    // A hidden window cannot be brought forward: it is shown first.
    show();
    raise();
    activateWindow();
}

void Form1::forgetMinimisedHint() {
    // A window the program minimised itself (a start in the tray) keeps, under X11, the
    // hint to be mapped minimised, even after the window manager has restored or withdrawn
    // it: shown again, it would come back minimised and hide at once. Any change between
    // states that are not minimised rewrites the hint, and maps nothing.
    QWindow* native = windowHandle();
    if (native == nullptr || native->windowStates().testFlag(Qt::WindowMinimized)) {
        return;
    }
    const Qt::WindowStates states = native->windowStates();
    native->setWindowStates(states ^ Qt::WindowMaximized);
    native->setWindowStates(states);
}

void Form1::openTrayMenu() {
    // A right click leaves a hidden window hidden.
    if (isVisible()) {
        raise();
        activateWindow();
    }
    mnu_1->popup(QCursor::pos());
}

void Form1::hideIfMinimisedToTray() {
    // Without an icon to bring it back, a hidden window would be lost: it
    // stays minimised the ordinary way instead.
    if (isMinimized() && tray_->isVisibleInTray()) {
        hide();
    }
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        // Hidden once the window system has finished minimising it.
        QTimer::singleShot(0, this, &Form1::hideIfMinimisedToTray);
    }
}

void Form1::unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    regSaveString(RegRoot::CurrentUser, loc::settingPath, loc::settingValue, File1->path());
    regSaveString(RegRoot::CurrentUser, loc::settingDelay, loc::settingValue,
                  txtDelay->text().toStdString());
    regSaveString(RegRoot::CurrentUser, loc::settingSystray, loc::settingValue,
                  boolToText(mnuSystray->isChecked()));
    removeTrayIcon();
    Timer1->setEnabled(false);
    emit ended();
}

void Form1::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

} // namespace quillarbor
