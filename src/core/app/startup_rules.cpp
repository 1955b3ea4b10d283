#include "app/startup_rules.h"

namespace quillarbor {

std::string captureCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) {
            line.push_back(' ');
        }
        line += args[i];
    }
    // ASCII only: other bytes may be parts of UTF-8 sequences.
    for (char& c : line) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return line;
}

CliAction parseCommandLine(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            return CliAction::Help;
        }
        if (arg == "--version") {
            return CliAction::Version;
        }
    }
    return CliAction::Run;
}

std::string helpText() {
    return "Usage: quillarbor [/O] [--help] [--version]\n"
           "\n"
           "Rotates the browser toolbar background bitmap through a folder of *.bmp files.\n"
           "\n"
           "  /O          one-shot mode: apply one random bitmap from the saved folder, save\n"
           "              the settings and exit (any letter case, anywhere on the line)\n"
           "  -h, --help  show this help and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "Other arguments do not stop the program from starting.\n"
           "\n"
           "Exit status: 0 after a normal end (Exit, closing the window, or a logout or\n"
           "SIGTERM, SIGHUP or SIGINT, all of which save the settings first) and after a\n"
           "one-shot run that applied a bitmap or found none; 1 when a one-shot run picked\n"
           "a bitmap but could not apply it (the browser value could not be written, or\n"
           "the file is not a picture), with one line on stderr saying why.\n"
           "\n"
           "Settings are kept in $XDG_CONFIG_HOME/quillarbor/user.reg\n"
           "(~/.config/quillarbor/user.reg when XDG_CONFIG_HOME is not set);\n"
           "on Windows under HKEY_CURRENT_USER\\Software\\Quillarbor in the registry.\n";
}

bool isOneShot(std::string_view upperCommandLine) {
    return upperCommandLine.find("/O") != std::string_view::npos;
}

} // namespace quillarbor
