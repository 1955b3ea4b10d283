#include "Form1.h"
#include "text.h"

#include "app/Form1Presenter.h"
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

int runMessageLoop(quillarbor::win32::Form1& form) {
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

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    quillarbor::win32::Form1 form(instance);
    if (form.handle() == nullptr) {
        return 1;
    }
    quillarbor::ClockSeededRandom random;
    quillarbor::RunningProgram program;
    quillarbor::Form1Presenter presenter(form, program.dependencies(random));
    switch (presenter.load(args)) {
    case quillarbor::Form1Presenter::Start::Running:
        return runMessageLoop(form);
    case quillarbor::Form1Presenter::Start::Ended:
        return 0;
    case quillarbor::Form1Presenter::Start::Failed:
        // A logon script or a scheduled task learns from the status that nothing was applied.
        std::fprintf(stderr, "quillarbor: /O applied no skin: %s\n", presenter.failure().c_str());
        return 1;
    }
    return 1;
}
