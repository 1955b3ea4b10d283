#include "app/MainWindowPresenter.h"
#include "app/messages.h"
#include "app/startup_rules.h"
#include "qt/MainWindow.h"
#include "qt/QuitSignals.h"
#include "qt/SessionSlot.h"
#include "qt/display.h"
#include "rotation/random_source.h"
#include "version.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QSessionManager>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // The resources live in a static library; they must be pulled in by name.
    Q_INIT_RESOURCE(quillarbor);

    // Taken before Qt removes the options it understands.
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Answered before any window exists, so they work without a display.
    switch (quillarbor::parseCommandLine(args)) {
    case quillarbor::CliAction::Help:
        std::cout << quillarbor::helpText() << std::flush;
        return std::cout ? 0 : 1;
    case quillarbor::CliAction::Version:
        std::cout << quillarbor::kAppTitle << ' ' << quillarbor::kVersionText << std::endl;
        return std::cout ? 0 : 1;
    case quillarbor::CliAction::Run:
        break;
    }
    const bool oneShot = quillarbor::isOneShot(quillarbor::captureCommandLine(args));
    if (!quillarbor::prepareDisplay(oneShot)) {
        return 1;
    }

    QApplication app(argc, argv);
    if (!quillarbor::displayOpened(oneShot)) {
        return 1;
    }
    QApplication::setApplicationName(QString::fromLatin1(quillarbor::kAppTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(quillarbor::kVersionText));

    // One copy per desktop session: a second start brings the first one's window forward.
    quillarbor::DesktopSessionSlot session;
    switch (quillarbor::MainWindowPresenter::claimSession(args, session)) {
    case quillarbor::MainWindowPresenter::Launch::Run:
        break;
    case quillarbor::MainWindowPresenter::Launch::Forwarded:
        return 0;
    case quillarbor::MainWindowPresenter::Launch::Unanswered:
        std::cerr << quillarbor::messages::alreadyRunningUnanswered << std::endl;
        return 1;
    }
    // Read as PNG outright: left to guess, Qt would load every image plugin to ask it. The
    // sizes a window or tray icon is drawn at; launchers take larger ones from the icon theme.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QImageReader reader(QStringLiteral(":/icons/quillarbor-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    QApplication::setWindowIcon(icon);

    quillarbor::ClockSeededRandom random;
    quillarbor::MainWindow form;
    quillarbor::RunningProgram program;
    quillarbor::MainWindowPresenter presenter(form, program.dependencies(random));
    QObject::connect(&form, &quillarbor::MainWindow::ended, &app, &QCoreApplication::quit);
    QObject::connect(&session, &quillarbor::DesktopSessionSlot::showRequested, &form,
                     [&presenter] { presenter.onSecondStart(); });

    // A logout, a shutdown or a kill ends the program as Exit does, settings saved; a modal box
    // open then is closed unanswered.
    quillarbor::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &quillarbor::QuitSignals::received, &form,
                     [&presenter] { presenter.unload(); });
    // The session manager asks before it ends the session. "Run at startup" is how the program
    // comes back at the next logon, so the session must not start it a second time.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&presenter](QSessionManager& manager) {
                         manager.setRestartHint(QSessionManager::RestartNever);
                         presenter.saveSettings();
                     });
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &form, [](QSessionManager& manager) {
        manager.setRestartHint(QSessionManager::RestartNever);
    });

    switch (presenter.load(args)) {
    case quillarbor::MainWindowPresenter::Start::Running:
        return QApplication::exec();
    case quillarbor::MainWindowPresenter::Start::Ended:
        return 0;
    case quillarbor::MainWindowPresenter::Start::Failed:
        std::cerr << "quillarbor: /O applied no skin: " << presenter.failure() << std::endl;
        return 1;
    }
    return 1;
}
