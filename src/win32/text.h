#pragma once

#include <string>
#include <string_view>

// The program keeps text as UTF-8; Windows takes UTF-16. These convert at that boundary only.
namespace quillarbor::win32 {

// Bytes that are not UTF-8 become U+FFFD.
std::wstring widen(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string narrow(std::wstring_view utf16);

// Writes to the process's standard output or error, if it has one (a GUI program started from
// a console, or with its output redirected). Lines end in CR LF, as Windows text does.
void writeStd(bool error, std::string_view utf8);

} // namespace quillarbor::win32
