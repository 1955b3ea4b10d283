#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions at the Windows registry boundary, where text is in the system
// ANSI code page.
namespace quillarbor::ansi {

// nullopt when the text is not UTF-8 or holds a character the code page
// cannot represent: such text is never written as a lossy approximation.
std::optional<std::string> fromUtf8(std::string_view utf8);

// Code-page bytes to UTF-8; NUL bytes are kept where they stand.
std::string toUtf8(std::string_view ansi);

} // namespace quillarbor::ansi
