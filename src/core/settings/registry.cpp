#include "settings/registry.h"

#include "settings/registry_backend.h"

namespace quillarbor {

std::string regGetString(RegRoot root, std::string_view subKey, std::string_view valueName) {
    const backend::ReadResult r = backend::readValue(root, subKey, valueName);
    if (r.status != backend::ReadStatus::Ok || r.value.type != backend::kRegSz) {
        return {};
    }
    // Other programs store text with its terminating NUL; the text ends at the first one.
    const std::string& bytes = r.value.bytes;
    return bytes.substr(0, bytes.find('\0'));
}

void regSaveString(RegRoot root, std::string_view subKey, std::string_view valueName,
                   std::string_view data) {
    regTrySaveString(root, subKey, valueName, data);
}

std::optional<SaveError> regTrySaveString(RegRoot root, std::string_view subKey,
                                          std::string_view valueName, std::string_view data) {
    // Stored as its bytes, without a terminating NUL, so multi-byte texts keep every byte.
    return backend::writeValue(root, subKey, valueName, {backend::kRegSz, std::string(data)});
}

void regDeleteValue(RegRoot root, std::string_view subKey, std::string_view valueName) {
    backend::deleteValue(root, subKey, valueName);
}

} // namespace quillarbor
