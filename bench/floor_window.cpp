// The toolkit's floor: the least a Qt Widgets program of Quillarbor's shape
// costs. A main window of the same size with a menu bar, a label and one text
// box, nothing read from disk and no settings.
//
//   floor_window             shown; the box counts down once a second, forever
//   floor_window --hidden    never shown; the box still counts down
//   floor_window --oneshot   shown, painted, then the program exits
//
// With --controls as well, the window also holds one of each kind of control
// Quillarbor's window has (lists, a drop-down, buttons, a picture) and a tray
// icon, all empty: what that set of controls costs before any work is done.
//
// The window is titled "Floor" so that the start-up measurement can find it.

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QStringListModel>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstring>

namespace {

bool hasOption(int argc, char* argv[], const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) {
            return true;
        }
    }
    return false;
}

void addControls(QMainWindow& window, QWidget* area) {
    auto* files = new QListView(area);
    files->setModel(new QStringListModel(files));
    files->setGeometry(272, 24, 217, 149);
    auto* folders = new QListWidget(area);
    folders->setGeometry(16, 48, 249, 126);
    auto* drives = new QComboBox(area);
    drives->setGeometry(16, 24, 249, 21);
    auto* delay = new QLineEdit(area);
    delay->setGeometry(120, 184, 65, 25);
    auto* refresh = new QPushButton(QStringLiteral("Refresh"), area);
    refresh->setGeometry(392, 184, 89, 25);
    auto* hidden = new QPushButton(QStringLiteral("Hidden"), area);
    hidden->setGeometry(512, 40, 89, 41);
    auto* picture = new QLabel(area);
    picture->setGeometry(16, 216, 470, 115);
    picture->setFrameShape(QFrame::Box);
    auto* popup = new QMenu(&window);
    popup->addAction(QStringLiteral("Terminate"));
    QPixmap dot(16, 16);
    dot.fill(Qt::darkGreen);
    auto* tray = new QSystemTrayIcon(QIcon(dot), &window);
    tray->setContextMenu(popup);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray->show();
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const bool oneShot = hasOption(argc, argv, "--oneshot");
    const bool hidden = hasOption(argc, argv, "--hidden");

    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    auto* area = new QWidget(&window);
    area->setFixedSize(501, 390);
    window.setCentralWidget(area);
    window.menuBar()->addMenu(QStringLiteral("File"));
    auto* caption = new QLabel(QStringLiteral("Countdown (secs)"), area);
    caption->setGeometry(200, 184, 105, 17);
    auto* countdown = new QLineEdit(QStringLiteral("3600"), area);
    countdown->setGeometry(304, 184, 65, 25);
    countdown->setReadOnly(true);
    if (hasOption(argc, argv, "--controls")) {
        addControls(window, area);
    }

    if (!hidden) {
        window.show();
        window.repaint();
    }
    if (oneShot) {
        return 0;
    }

    int left = 3600;
    QTimer ticker;
    ticker.setTimerType(Qt::CoarseTimer);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { countdown->setText(QString::number(left > 0 ? --left : 0)); });
    ticker.start(1000);
    return QApplication::exec();
}
