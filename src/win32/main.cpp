#include "MainWindow.h"
#include "text.h"

#include "app/MainWindowPresenter.h"
#include "app/messages.h"
#include "app/session_slot.h"
#include "app/startup_rules.h"
#include "rotation/random_source.h"
#include "version.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(quillarbor::win32::narrow(wide[i]));
    }
    LocalFree(wide);
    return args;
}

// The session's place for one running copy: a named mutex in the session's own namespace, so
// that each logged-on user has one. The system drops it with the last handle, however the copy
// that held it ended.
class SessionMutex final : public quillarbor::SessionSlot {
public:
    SessionMutex() = default;
    SessionMutex(const SessionMutex&) = delete;
    SessionMutex& operator=(const SessionMutex&) = delete;
    ~SessionMutex() override {
        if (mutex_ != nullptr) {
            CloseHandle(mutex_);
        }
    }

    bool take() override {
        const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\QuillarborRunning");
        if (mutex == nullptr) {
            return true; // nothing to tell copies apart by: this one runs
        }
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex); // kept open, it would outlive the holder
            return false;
        }
        mutex_ = mutex;
        return true;
    }

    bool askHolderToShow() override {
        // The holder may still be making its window, and a one-shot's window may be there too.
        constexpr DWORD kWaitMs = 5000;
        constexpr DWORD kStepMs = 100;
        using quillarbor::win32::MainWindow;
        for (DWORD waited = 0; waited < kWaitMs; waited += kStepMs) {
            for (HWND window = MainWindow::findRunning(); window != nullptr;
                 window = MainWindow::findRunning(window)) {
                // This start has the foreground; the copy it asks may take it from here.
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                AllowSetForegroundWindow(process);
                DWORD_PTR answer = 0;
                if (SendMessageTimeoutW(window, MainWindow::showRequestMessage(), 0, 0,
                                        SMTO_ABORTIFHUNG, kWaitMs, &answer) != 0 &&
                    answer == static_cast<DWORD_PTR>(MainWindow::kShownAnswer)) {
                    return true;
                }
            }
            Sleep(kStepMs);
        }
        return false;
    }

private:
    HANDLE mutex_ = nullptr;
};

int runMessageLoop(quillarbor::win32::MainWindow& form) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.preTranslate(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::vector<std::string> args = arguments();
    // Answered before any window exists, on the standard output of whoever started us.
    switch (quillarbor::parseCommandLine(args)) {
    case quillarbor::CliAction::Help:
        quillarbor::win32::writeStd(false, quillarbor::helpText());
        return 0;
    case quillarbor::CliAction::Version:
        quillarbor::win32::writeStd(false, std::string(quillarbor::kAppTitle) + ' ' +
                                               quillarbor::kVersionText + '\n');
        return 0;
    case quillarbor::CliAction::Run:
        break;
    }

    // One copy per desktop session: a second start brings the first one's window forward.
    SessionMutex session;
    switch (quillarbor::MainWindowPresenter::claimSession(args, session)) {
    case quillarbor::MainWindowPresenter::Launch::Run:
        break;
    case quillarbor::MainWindowPresenter::Launch::Forwarded:
        return 0;
    case quillarbor::MainWindowPresenter::Launch::Unanswered:
        quillarbor::win32::writeStd(
            true, std::string(quillarbor::messages::alreadyRunningUnanswered) + "\n");
        return 1;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    quillarbor::win32::MainWindow form(instance);
    if (form.handle() == nullptr) {
        return 1;
    }
    quillarbor::ClockSeededRandom random;
    quillarbor::RunningProgram program;
    quillarbor::MainWindowPresenter presenter(form, program.dependencies(random));
    switch (presenter.load(args)) {
    case quillarbor::MainWindowPresenter::Start::Running:
        return runMessageLoop(form);
    case quillarbor::MainWindowPresenter::Start::Ended:
        return 0;
    case quillarbor::MainWindowPresenter::Start::Failed:
        // A logon script or a scheduled task learns from the status that nothing was applied.
        std::fprintf(stderr, "quillarbor: /O applied no skin: %s\n", presenter.failure().c_str());
        return 1;
    }
    return 1;
}
