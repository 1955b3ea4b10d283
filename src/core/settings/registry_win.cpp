#include "settings/ansi_win.h"
#include "settings/registry_backend.h"

#include <cstdio>
#include <string>
#include <windows.h>

namespace quillarbor {

namespace {

void warn(const char* message) {
    std::fprintf(stderr, "quillarbor: %s\n", message);
}

HKEY rootHandle(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const char* rootName(RegRoot root) {
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// The system's own words for an error code, without the line break it ends them with.
std::string systemErrorText(LONG code) {
    char buffer[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
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

namespace ansi {

std::optional<std::string> fromUtf8(std::string_view utf8) {
    if (utf8.empty()) {
        return std::string();
    }
    const int n = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, nullptr, 0);
    if (wide <= 0) {
        return std::nullopt;
    }
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, w.data(), wide);
    const UINT cp = GetACP();
    if (cp == CP_UTF8) {
        return std::string(utf8); // the code page is UTF-8 itself
    }
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w.data(), wide, nullptr, 0,
                                          nullptr, &usedDefault);
    if (bytes <= 0) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w.data(), wide, out.data(), bytes, nullptr,
                        &usedDefault);
    if (usedDefault) {
        return std::nullopt;
    }
    return out;
}

std::string toUtf8(std::string_view text) {
    if (text.empty() || GetACP() == CP_UTF8) {
        return std::string(text);
    }
    const int n = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), n, nullptr, 0);
    if (wide <= 0) {
        return {};
    }
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), n, w.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

} // namespace ansi

namespace backend {

ReadResult readValue(RegRoot root, std::string_view subKey, std::string_view valueName,
                     std::optional<std::size_t> maxBytes) {
    ReadResult result;
    const auto key = ansi::fromUtf8(subKey);
    const auto name = ansi::fromUtf8(valueName);
    if (!key || !name) {
        return result; // a name the code page cannot hold cannot exist in the registry
    }
    Key handle;
    if (RegOpenKeyExA(rootHandle(root), key->c_str(), 0, KEY_READ, handle.out()) != ERROR_SUCCESS) {
        return result;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle.get(), name->c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        result.status = ReadStatus::NoValue;
        return result;
    }
    if (maxBytes && size > *maxBytes) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    std::string data;
    LONG rc = ERROR_MORE_DATA;
    while (rc == ERROR_MORE_DATA) {
        data.resize(size);
        rc = RegQueryValueExA(handle.get(), name->c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
        if (maxBytes && size > *maxBytes) {
            result.status = ReadStatus::TooLarge;
            return result;
        }
    }
    if (rc != ERROR_SUCCESS) {
        result.status = ReadStatus::NoValue;
        return result;
    }
    data.resize(size);
    result.status = ReadStatus::Ok;
    result.value.type = type;
    result.value.bytes = isTextType(type) ? ansi::toUtf8(data) : data;
    return result;
}

std::optional<SaveError> writeValue(RegRoot root, std::string_view subKey,
                                    std::string_view valueName, const RawValue& value) {
    const std::string place = std::string(rootName(root)) + "\\" + std::string(subKey);
    const auto key = ansi::fromUtf8(subKey);
    const auto name = ansi::fromUtf8(valueName);
    const auto data = isTextType(value.type) ? ansi::fromUtf8(value.bytes)
                                             : std::optional<std::string>(value.bytes);
    if (!key || !name || !data) {
        // Better to keep the previous value than to store a path that names no file.
        warn("a text holds characters the system code page cannot represent; not written");
        return SaveError{place, "the text holds characters the system code page cannot represent"};
    }
    Key handle;
    LONG status = RegCreateKeyA(rootHandle(root), key->c_str(), handle.out());
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(handle.get(), name->c_str(), 0, value.type,
                                reinterpret_cast<const BYTE*>(data->data()),
                                static_cast<DWORD>(data->size()));
    }
    if (status != ERROR_SUCCESS) {
        return SaveError{place, systemErrorText(status)};
    }
    return std::nullopt;
}

void deleteValue(RegRoot root, std::string_view subKey, std::string_view valueName) {
    const auto key = ansi::fromUtf8(subKey);
    const auto name = ansi::fromUtf8(valueName);
    if (!key || !name) {
        return;
    }
    Key handle;
    if (RegOpenKeyA(rootHandle(root), key->c_str(), handle.out()) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueA(handle.get(), name->c_str());
}

} // namespace backend

} // namespace quillarbor
