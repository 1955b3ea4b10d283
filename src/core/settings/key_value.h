#pragma once

#include "settings/registry.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace quillarbor {

// Raised by GetKeyValue for a value that returns no bytes at all.
class KeyValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads one value of any type with read access only (a user who may only read
// machine-wide keys must still find them). False, with KeyVal emptied, when the
// key cannot be opened, the value is missing or it holds more than 1024 bytes.
// Otherwise one trailing NUL is dropped and: text becomes KeyVal; a 32-bit number
// becomes "&h" and its kept bytes in hexadecimal, most significant first; any
// other type leaves KeyVal as it was. Throws KeyValueError for a value of 0 bytes.
bool GetKeyValue(RegRoot KeyRoot, std::string_view KeyName, std::string_view SubKeyRef,
                 std::string& KeyVal);

} // namespace quillarbor
