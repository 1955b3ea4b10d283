#pragma once

#include <string>
#include <string_view>

// Starting the program at logon: the text of the logon entry, and on desktops
// where that entry alone starts nothing, the desktop's own autostart file.
namespace quillarbor {

// The program folder, a separator and "Quillarbor.exe"; quoted when it holds a
// space, so that a program planted on the path's first word cannot run instead.
std::string runEntryCommand(std::string_view programFolder);

// The full path of the running executable, links resolved; "" when unknown.
std::string runningExecutable();

// Writes (on) or removes (off) the autostart entry that starts `executable` at
// logon. Where the logon entry itself suffices this does nothing.
void setAutostart(bool on, const std::string& executable);

// The Exec value of a desktop entry that runs `executable` with no arguments.
std::string desktopExecValue(std::string_view executable);

// The autostart desktop entry's path ($XDG_CONFIG_HOME/autostart/quillarbor.desktop);
// "" where the platform has none.
std::string autostartEntryPath();

} // namespace quillarbor
