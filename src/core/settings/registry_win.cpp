#include "rotation/path_text_win.h"
#include "settings/registry_backend.h"

#include <string>
#include <windows.h>

// The registry holds text as UTF-16, so every name and value goes through the wide calls: a path
// in any script reads back exactly as it was written, and values that earlier versions wrote
// through the code-page calls read back the same.
namespace quillarbor {

namespace {

HKEY rootHandle(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const char* rootName(RegRoot root) {
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// A 32-bit program on 64-bit Windows is shown a 32-bit copy of the machine's software key; what
// other programs installed for the machine is found in the native one.
REGSAM machineView(RegRoot root) {
    BOOL wow64 = FALSE;
    if (root == RegRoot::LocalMachine && IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        return KEY_WOW64_64KEY;
    }
    return 0;
}

// The system's own words for an error code, without the line break it ends them with.
std::string systemErrorText(LONG code) {
    wchar_t buffer[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, buffer, 512, nullptr);
    std::string text = textFromWide(std::wstring_view(buffer, length));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(code) : text;
}

bool isTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (handle_ != nullptr) {
            RegCloseKey(handle_);
        }
    }
    HKEY* out() { return &handle_; }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

} // namespace

namespace backend {

ReadResult readValue(RegRoot root, std::string_view subKey, std::string_view valueName,
                     std::optional<std::size_t> maxBytes) {
    ReadResult result;
    const auto key = wideFromText(subKey);
    const auto name = wideFromText(valueName);
    if (!key || !name) {
        return result; // text that is not UTF-8 names no key
    }
    Key handle;
    if (RegOpenKeyExW(rootHandle(root), key->c_str(), 0, KEY_READ | machineView(root),
                      handle.out()) != ERROR_SUCCESS) {
        return result;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(handle.get(), name->c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        result.status = ReadStatus::NoValue;
        return result;
    }
    // The limit counts characters of text, as it did when text came in single bytes.
    const auto tooLarge = [&](DWORD bytes) {
        return maxBytes && (isTextType(type) ? bytes / sizeof(wchar_t) : bytes) > *maxBytes;
    };
    if (tooLarge(size)) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    // Whole UTF-16 units, with room to spare: another program may grow the value between calls.
    std::wstring data;
    LONG rc = ERROR_MORE_DATA;
    while (rc == ERROR_MORE_DATA) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        rc = RegQueryValueExW(handle.get(), name->c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
        if (tooLarge(size)) {
            result.status = ReadStatus::TooLarge;
            return result;
        }
    }
    if (rc != ERROR_SUCCESS) {
        result.status = ReadStatus::NoValue;
        return result;
    }
    result.status = ReadStatus::Ok;
    result.value.type = type;
    if (isTextType(type)) {
        // NULs stay where they stand; a stray odd byte at the end is no character and is dropped.
        data.resize(size / sizeof(wchar_t));
        result.value.bytes = textFromWide(data);
    } else {
        result.value.bytes.assign(reinterpret_cast<const char*>(data.data()), size);
    }
    return result;
}

std::optional<SaveError> writeValue(RegRoot root, std::string_view subKey,
                                    std::string_view valueName, const RawValue& value) {
    const std::string place = std::string(rootName(root)) + "\\" + std::string(subKey);
    const auto key = wideFromText(subKey);
    const auto name = wideFromText(valueName);
    if (!key || !name) {
        return SaveError{place, "the name is not valid UTF-8 text"};
    }
    std::wstring text;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(value.bytes.data());
    DWORD size = static_cast<DWORD>(value.bytes.size());
    if (isTextType(value.type)) {
        const auto wide = wideFromText(value.bytes);
        if (!wide) {
            return SaveError{place, "the text is not valid UTF-8"};
        }
        text = *wide;
        // Text is stored with its terminating NUL, as readers of the registry expect; data that is
        // empty stays empty, as other programs store it too.
        if (!text.empty() && text.back() != L'\0') {
            text.push_back(L'\0');
        }
        bytes = reinterpret_cast<const BYTE*>(text.data());
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    }
    Key handle;
    LONG status = RegCreateKeyExW(rootHandle(root), key->c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, handle.out(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(handle.get(), name->c_str(), 0, value.type, bytes, size);
    }
    if (status != ERROR_SUCCESS) {
        return SaveError{place, systemErrorText(status)};
    }
    return std::nullopt;
}

void deleteValue(RegRoot root, std::string_view subKey, std::string_view valueName) {
    const auto key = wideFromText(subKey);
    const auto name = wideFromText(valueName);
    if (!key || !name) {
        return;
    }
    Key handle;
    if (RegOpenKeyExW(rootHandle(root), key->c_str(), 0, KEY_SET_VALUE, handle.out()) !=
        ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueW(handle.get(), name->c_str());
}

} // namespace backend

} // namespace quillarbor
