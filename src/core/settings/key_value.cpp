#include "settings/key_value.h"

#include "settings/registry_backend.h"

namespace quillarbor {

namespace {
constexpr std::size_t kBufferBytes = 1024;
}

bool GetKeyValue(RegRoot KeyRoot, std::string_view KeyName, std::string_view SubKeyRef,
                 std::string& KeyVal) {
    const backend::ReadResult r = backend::readValue(KeyRoot, KeyName, SubKeyRef, kBufferBytes);
    if (r.status != backend::ReadStatus::Ok) {
        KeyVal.clear();
        return false;
    }
    std::string_view kept = r.value.bytes;
    if (kept.empty()) {
        throw KeyValueError("the registry value returned no data");
    }
    if (kept.back() == '\0') {
        kept.remove_suffix(1); // only this one terminator; an inner or second NUL stays
    }
    switch (r.value.type) {
    case backend::kRegSz:
        KeyVal.assign(kept);
        break;
    case backend::kRegDword: {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string text = "&h";
        for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
            const auto b = static_cast<unsigned char>(*it);
            text += kDigits[b >> 4];
            text += kDigits[b & 0x0F];
        }
        KeyVal = text;
        break;
    }
    default:
        break; // text with environment references and the rest: found, but no usable path
    }
    return true;
}

} // namespace quillarbor
