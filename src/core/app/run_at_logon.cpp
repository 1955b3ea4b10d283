#include "app/run_at_logon.h"

#include "rotation/skins.h"

namespace quillarbor {

std::string runEntryCommand(std::string_view programFolder) {
    std::string command = addSlash(programFolder) + "Quillarbor.exe";
    if (command.find(' ') != std::string::npos) {
        command = '"' + command + '"';
    }
    return command;
}

std::string desktopExecValue(std::string_view executable) {
    // Quoted as one argument: inside the quotes ", `, $ and \ take a backslash;
    // then the value itself escapes every backslash, and % is doubled.
    std::string quoted = "\"";
    for (char c : executable) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '%') {
            value += "%%";
        } else {
            value += c;
        }
    }
    return value;
}

} // namespace quillarbor
