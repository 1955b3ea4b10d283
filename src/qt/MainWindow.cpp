#include "qt/MainWindow.h"

#include "app/MainWindowPresenter.h"
#include "app/messages.h"
#include "app/startup_rules.h"
#include "app/window_forms.h"
#include "qt/DriveChooser.h"
#include "qt/FileList.h"
#include "qt/FolderChooser.h"
#include "qt/MessageBox.h"
#include "qt/Ticker.h"
#include "qt/TrayIcon.h"
#include "qt/fitted_layout.h"
#include "qt/frmAbout.h"
#include "rotation/skin_file.h"
#include "rotation/skins.h"
#include "version.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
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

#include <initializer_list>
#include <string_view>
#include <utility>

namespace quillarbor {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The widget of each kind of control.
QWidget* createWidget(const form::Control& control, QWidget* area) {
    const QString text = toQString(control.text);
    switch (control.kind) {
    case form::Kind::Button:
    case form::Kind::FocusHolder:
        return new QPushButton(text, area);
    case form::Kind::SkinList:
        return new FileList(area);
    case form::Kind::FolderList:
        return new FolderChooser(area);
    case form::Kind::DriveList:
        return new DriveChooser(area);
    case form::Kind::Caption:
        return new QLabel(text, area);
    case form::Kind::Text: {
        auto* label = new QLabel(text, area);
        label->setTextFormat(Qt::PlainText); // file names are not markup
        return label;
    }
    case form::Kind::TextBox:
        return new QLineEdit(text, area);
    case form::Kind::ReadOnlyBox: {
        auto* box = new QLineEdit(text, area);
        box->setReadOnly(true);
        return box;
    }
    case form::Kind::Picture: {
        auto* picture = new QLabel(area);
        picture->setFrameShape(QFrame::Box);
        picture->setLineWidth(1);
        picture->setScaledContents(true);
        return picture;
    }
    }
    return new QWidget(area);
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

} // namespace

MainWindow::MainWindow(Ticker* ticker, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      ticker_(ticker != nullptr ? ticker : new IntervalTicker(this)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    createControls();
    createMenus();
    tray_ = new TrayIcon(windowIcon(), this);
    // One menu, whichever way a notification area shows it.
    tray_->setMenu(mnuTray);

    // Fixed to the client area plus whatever the menu bar needs.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

void MainWindow::attach(MainWindowPresenter& presenter) {
    presenter_ = &presenter;
    connect(ticker_, &Ticker::tick, this, [this] { presenter_->onTick(); });
    // Edits by the user only: the presenter's own changes of the text raise nothing.
    connect(txtDelay, &QLineEdit::textEdited, this,
            [this](const QString& text) { presenter_->onDelayEdited(text.toStdString()); });

    using TrayEvent = MainWindowPresenter::TrayEvent;
    connect(tray_, &TrayIcon::leftButtonReleased, this,
            [this] { presenter_->onTrayEvent(TrayEvent::LeftButtonUp); });
    connect(tray_, &TrayIcon::leftDoubleClicked, this,
            [this] { presenter_->onTrayEvent(TrayEvent::LeftDoubleClick); });
    connect(tray_, &TrayIcon::rightButtonReleased, this,
            [this] { presenter_->onTrayEvent(TrayEvent::RightButtonUp); });
    connect(tray_, &TrayIcon::visibilityChanged, this, [this](bool visible) {
        // Once the window system has settled the window's state.
        QTimer::singleShot(0, this, [this, visible] {
            if (visible) {
                presenter_->onTrayAppeared();
            } else {
                presenter_->onTrayGone();
            }
        });
    });
    // Until the user first clicks or types in the window, a start in the tray may still send
    // it there.
    qApp->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::KeyPress:
        if (auto* widget = qobject_cast<QWidget*>(watched);
            widget != nullptr && widget->window() == this && presenter_ != nullptr) {
            qApp->removeEventFilter(this);
            presenter_->onWindowUsed();
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::createControls() {
    auto* area = new QWidget(this);
    setCentralWidget(area);

    // Made in tab order. The start focus lies right of the client area: never seen, it holds the
    // focus at start so that no visible control shows a focus mark and Enter or Space do nothing.
    QWidget* previous = nullptr;
    for (const form::Control& control : form::kMainWindowControls) {
        QWidget* widget = createWidget(control, area);
        widget->setObjectName(toQString(control.name));
        // A label given a name is read by that name instead of its text, so captions keep their
        // text as their name.
        widget->setAccessibleName(toQString(control.accessibleName));
        widget->setAccessibleDescription(toQString(control.accessibleDescription));
        if (previous != nullptr && widget->focusPolicy() != Qt::NoFocus) {
            setTabOrder(previous, widget);
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            previous = widget;
        }
    }
    const auto find = [area]<typename Widget>(Widget*& member, std::string_view name) {
        member = area->findChild<Widget*>(toQString(name), Qt::FindDirectChildrenOnly);
        Q_ASSERT(member != nullptr);
    };
    find(startFocus, "startFocus");
    find(skinList, "skinList");
    find(folderList, "folderList");
    find(driveList, "driveList");
    find(txtDelay, "txtDelay");
    find(txtCountdown, "txtCountdown");
    find(lblLastShown, "lblLastShown");
    find(cmdRefresh, "cmdRefresh");
    find(imgPreview, "imgPreview");

    // Captions carry no access keys; buddies still tell a screen reader what they name.
    for (const form::Control& control : form::kMainWindowControls) {
        if (control.kind == form::Kind::Caption) {
            area->findChild<QLabel*>(toQString(control.name))
                ->setBuddy(area->findChild<QWidget*>(toQString(control.names)));
        }
    }
    fitLayout(area, form::kMainWindowControls, form::kMainClientWidth, form::kMainClientHeight);
    startFocus->setFocus();

    connect(driveList, &DriveChooser::driveChosen, this, &MainWindow::onDriveChosen);
    connect(driveList, &DriveChooser::aboutToPopUp, this, [this] {
        folder_.relistDrives();
        driveList->show(folder_.drives(), folder_.drive());
    });
    connect(folderList, &FolderChooser::folderOpened, this, &MainWindow::onFolderOpened);
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { refreshSkinList(); });
    const auto applySelected = [this] { presenter_->onSkinChosen(); };
    connect(skinList, &FileList::entryDoubleClicked, this, applySelected);
    // The keyboard's way to "change now".
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* apply = new QShortcut(QKeySequence(key), skinList);
        apply->setContext(Qt::WidgetShortcut);
        connect(apply, &QShortcut::activated, this, applySelected);
    }
}

QMenu* MainWindow::createMenu(const form::Menu& menu) {
    auto* made = new QMenu(toQString(menu.caption), this);
    made->setObjectName(toQString(menu.name));
    for (const form::MenuItem& item : menu.items) {
        QAction* action = made->addAction(toQString(item.caption));
        action->setObjectName(toQString(item.name));
        action->setCheckable(item.checkable);
        if (item.checkable) {
            checkables_.push_back({item.command, action});
        }
        // Qt flips a checkable item before reporting the click; the presenter sets the marks of
        // both items of the pair afterwards.
        const form::Command command = item.command;
        connect(action, &QAction::triggered, this,
                [this, command] { presenter_->onCommand(command); });
    }
    return made;
}

void MainWindow::createMenus() {
    for (const form::Menu& menu : form::kMenuBar) {
        menuBar()->addMenu(createMenu(menu));
    }
    // The tray icon's pop-up; never part of the menu bar.
    mnuTray = createMenu(form::kTrayMenu);

    // The captions carry no access keys. Alt then the arrows reaches the menus in styles that
    // allow it; F10 opens the first menu in any style.
    auto* openMenus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(openMenus, &QShortcut::activated, this, [this] {
        QMenu* first = menuBar()->actions().constFirst()->menu();
        menuBar()->setActiveAction(first->menuAction());
        first->setActiveAction(first->actions().constFirst());
    });
}

void MainWindow::setChecked(form::Command command, bool checked) {
    for (const auto& [itemCommand, action] : checkables_) {
        if (itemCommand == command) {
            action->setChecked(checked);
        }
    }
}

std::string MainWindow::delayText() const {
    return txtDelay->text().toStdString();
}

void MainWindow::setDelayText(std::string_view text) {
    txtDelay->setText(toQString(text));
}

std::string MainWindow::countdownText() const {
    return txtCountdown->text().toStdString();
}

void MainWindow::setCountdownText(std::string_view text) {
    txtCountdown->setText(toQString(text));
}

void MainWindow::setLastShownText(std::string_view text) {
    lblLastShown->setText(toQString(text));
    lblLastShown->setAccessibleName(lblLastShown->text()); // its name would hide the text otherwise
}

bool MainWindow::showSkinFolder(const std::string& folder) {
    return showMoved(folder_.open(folder, selection()));
}

bool MainWindow::showMoved(const std::optional<SkinFolder::Shown>& shown) {
    // A drive the user chose goes back to the folder's when it cannot be entered.
    driveList->show(folder_.drives(), folder_.drive());
    if (!shown) {
        return false;
    }
    folderList->show(folder_.folders(), folder_.chosenFolder());
    skinList->show(folder_.skins(), *shown);
    return true;
}

std::optional<std::size_t> MainWindow::selection() const {
    const int index = skinList->listIndex();
    return index < 0 ? std::nullopt : std::optional<std::size_t>(index);
}

std::string MainWindow::skinFolder() const {
    return folder_.path();
}

std::size_t MainWindow::refreshSkinList() {
    skinList->show(folder_.skins(), folder_.reread(selection()));
    return folder_.skins().size();
}

std::string MainWindow::skinAt(std::size_t index) const {
    return folder_.skins()[index];
}

int MainWindow::selectedSkin() const {
    return skinList->listIndex();
}

bool MainWindow::showPreview(const std::string& picName) {
    QImage picture = loadPicture(picName);
    if (picture.isNull()) {
        return false;
    }
    // Handed over, the picture becomes the pixmap without a second copy of its pixels.
    imgPreview->setPixmap(QPixmap::fromImage(std::move(picture)));
    return true;
}

void MainWindow::clearPreview() {
    imgPreview->clear();
}

void MainWindow::setStartInTrayChecked(bool checked) {
    setChecked(form::Command::StartInTray, checked);
}

void MainWindow::setRunAtStartupChecked(bool checked) {
    setChecked(form::Command::RunAtStartup, checked);
}

void MainWindow::centreOnScreen() {
    // The frame counts once the window system has told its size; before the first show only
    // the window itself is known.
    const QRect screenArea = screen()->geometry();
    const QSize outer = frameGeometry().size();
    move(screenArea.x() + (screenArea.width() - outer.width()) / 2,
         screenArea.y() + (screenArea.height() - outer.height()) / 2);
}

MainWindowView::WindowState MainWindow::windowState() const {
    return isMinimized() ? WindowState::Minimised : WindowState::Normal;
}

void MainWindow::setWindowState(WindowState state) {
    if (state == WindowState::Minimised) {
        QMainWindow::setWindowState(QMainWindow::windowState() | Qt::WindowMinimized);
        return;
    }
    if (isHidden()) {
        forgetMinimisedHint();
    }
    QMainWindow::setWindowState(QMainWindow::windowState() & ~Qt::WindowMinimized);
}

bool MainWindow::isWindowVisible() const {
    return isVisible();
}

void MainWindow::showWindow() {
    show();
    if (std::exchange(frontWhenShown_, false)) {
        raise();
        activateWindow();
    }
}

void MainWindow::hideWindow() {
    hide();
}

void MainWindow::repaint() {
    QMainWindow::repaint();
}

void MainWindow::bringToFront() {
    // A hidden window cannot be raised yet: it comes to the front once it is shown.
    if (!isVisible()) {
        frontWhenShown_ = true;
        return;
    }
    raise();
    activateWindow();
}

void MainWindow::forgetMinimisedHint() {
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

void MainWindow::addTrayIcon(std::string_view tip) {
    tray_->addTrayIcon(toQString(tip));
}

void MainWindow::setTrayTip(std::string_view tip) {
    tray_->setTrayTip(toQString(tip));
}

void MainWindow::removeTrayIcon() {
    tray_->removeTrayIcon();
}

bool MainWindow::isTrayIconShown() const {
    return tray_->isVisibleInTray();
}

void MainWindow::openTrayMenu() {
    // Some notification areas open the icon's menu themselves as they report the click.
    if (!mnuTray->isVisible()) {
        mnuTray->popup(QCursor::pos());
    }
}

MainWindowView::Answer MainWindow::messageBox(std::string_view text, std::string_view title,
                                              Buttons buttons) {
    const int answer =
        MessageBox::show(this, toQString(text), toQString(title),
                         buttons == Buttons::OkCancel ? MessageBox::OkCancel : MessageBox::OkOnly);
    return answer == MessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

void MainWindow::showAbout() {
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

void MainWindow::warn(std::string_view text) {
    qWarning("%s", std::string(text).c_str());
}

void MainWindow::setBeatEnabled(bool enabled) {
    ticker_->setEnabled(enabled);
}

void MainWindow::end() {
    emit ended();
}

void MainWindow::onDriveChosen(std::size_t index) {
    if (index >= folder_.drives().size()) {
        return;
    }
    const std::string drive = folder_.drives()[index];
    if (!showMoved(folder_.openDrive(index, selection()))) {
        reportUnreadable(drive);
    }
}

void MainWindow::onFolderOpened(const std::string& folder) {
    if (!showMoved(folder_.open(folder, selection()))) {
        reportUnreadable(folder);
    }
}

void MainWindow::reportUnreadable(const std::string& folder) {
    MessageBox::show(this, toQString(messages::folderCannotBeRead(folder)),
                     QString::fromLatin1(kAppTitle), MessageBox::OkOnly);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && presenter_ != nullptr) {
        // Once the window system has finished minimising it.
        QTimer::singleShot(0, this, [this] { presenter_->onWindowMinimised(); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (presenter_ != nullptr) {
        presenter_->onClose();
    }
    event->accept();
}

} // namespace quillarbor
