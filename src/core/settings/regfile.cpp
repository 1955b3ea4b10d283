#include "settings/regfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace quillarbor::regfile {

namespace {

using backend::RawValue;

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static constexpr std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += len;
    }
    return true;
}

bool fitsQuotedText(const RawValue& v) {
    return v.type == backend::kRegSz &&
           v.bytes.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos &&
           isValidUtf8(v.bytes);
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string hexByte(unsigned char b) {
    static constexpr char kDigits[] = "0123456789abcdef";
    return {kDigits[b >> 4], kDigits[b & 0x0F]};
}

void appendValue(std::string& out, const Value& v) {
    std::string line = v.name.empty() ? std::string("@") : quote(v.name);
    line += '=';
    const RawValue& d = v.data;
    if (fitsQuotedText(d)) {
        out += line + quote(d.bytes) + '\n';
        return;
    }
    if (d.type == backend::kRegDword && d.bytes.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) {
            n = (n << 8) | static_cast<unsigned char>(d.bytes[static_cast<std::size_t>(i)]);
        }
        char buf[16];
        std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(n));
        out += line + "dword:" + buf + '\n';
        return;
    }
    if (d.type == backend::kRegBinary) {
        line += "hex:";
    } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(d.type));
        line += buf;
    }
    // Long byte lists wrap the way registry exports do: ",\" then two spaces.
    for (std::size_t i = 0; i < d.bytes.size(); ++i) {
        line += hexByte(static_cast<unsigned char>(d.bytes[i]));
        if (i + 1 < d.bytes.size()) {
            line += ',';
            if (line.size() > 76) {
                out += line + "\\\n";
                line = "  ";
            }
        }
    }
    out += line + '\n';
}

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// Reads a quoted string at the start of `s`; returns the rest after the closing quote.
bool readQuoted(std::string_view s, std::string& out, std::string_view& rest) {
    if (s.empty() || s[0] != '"') {
        return false;
    }
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            rest = s.substr(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[++i];
        } else {
            // A backslash before anything else is kept as written: hand-edited
            // paths such as "C:\Skins" stay readable.
            out += c;
        }
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool readHexList(std::string_view s, std::string& out) {
    out.clear();
    s = trim(s);
    if (s.empty()) {
        return true;
    }
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
            ++i;
        }
        if (i + 2 > s.size()) {
            return false;
        }
        const int hi = hexDigit(s[i]);
        const int lo = hexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        out += static_cast<char>((hi << 4) | lo);
        i += 2;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
            ++i;
        }
        if (i == s.size()) {
            return true;
        }
        if (s[i] != ',') {
            return false;
        }
        ++i;
    }
}

bool readData(std::string_view s, RawValue& out, std::string& error) {
    std::string_view rest;
    if (!s.empty() && s[0] == '"') {
        if (!readQuoted(s, out.bytes, rest) || !trim(rest).empty()) {
            error = "unterminated or malformed text value";
            return false;
        }
        out.type = backend::kRegSz;
        return true;
    }
    if (s.rfind("dword:", 0) == 0) {
        const auto digits = trim(s.substr(6));
        if (digits.size() != 8) {
            error = "dword value needs eight hex digits";
            return false;
        }
        std::uint32_t n = 0;
        for (char c : digits) {
            const int d = hexDigit(c);
            if (d < 0) {
                error = "bad hex digit in dword value";
                return false;
            }
            n = (n << 4) | static_cast<std::uint32_t>(d);
        }
        out.type = backend::kRegDword;
        out.bytes.clear();
        for (int i = 0; i < 4; ++i) {
            out.bytes += static_cast<char>((n >> (8 * i)) & 0xFF);
        }
        return true;
    }
    std::string_view list;
    if (s.rfind("hex:", 0) == 0) {
        out.type = backend::kRegBinary;
        list = s.substr(4);
    } else if (s.rfind("hex(", 0) == 0) {
        const auto close = s.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) {
            error = "malformed hex(type) value";
            return false;
        }
        std::uint32_t type = 0;
        for (char c : s.substr(4, close - 4)) {
            const int d = hexDigit(c);
            if (d < 0) {
                error = "bad value type";
                return false;
            }
            type = (type << 4) | static_cast<std::uint32_t>(d);
        }
        out.type = type;
        list = s.substr(close + 2);
    } else {
        error = "unknown value form";
        return false;
    }
    if (!readHexList(list, out.bytes)) {
        error = "malformed hex byte list";
        return false;
    }
    return true;
}

} // namespace

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool isStorableName(std::string_view name) {
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

const Key* Document::findKey(std::string_view path) const {
    const auto it = index_.find(lowerAscii(path));
    return it == index_.end() ? nullptr : &keys_[it->second];
}

const backend::RawValue* Document::findValue(std::string_view keyPath,
                                             std::string_view name) const {
    const auto key = index_.find(lowerAscii(keyPath));
    if (key == index_.end()) {
        return nullptr;
    }
    const NameIndex& names = valueIndex_[key->second];
    const auto value = names.find(lowerAscii(name));
    return value == names.end() ? nullptr : &keys_[key->second].values[value->second].data;
}

std::size_t Document::addKey(std::string_view path) {
    auto [it, inserted] = index_.try_emplace(lowerAscii(path), keys_.size());
    if (inserted) {
        keys_.push_back(Key{std::string(path), {}});
        valueIndex_.emplace_back();
    }
    return it->second;
}

bool Document::setValue(std::string_view keyPath, std::string_view name,
                        const backend::RawValue& data) {
    // Parents first, below the root itself, as a registry export lists them.
    const auto rootEnd = keyPath.find('\\');
    for (auto pos = rootEnd; pos != std::string_view::npos; pos = keyPath.find('\\', pos + 1)) {
        if (pos != rootEnd) {
            addKey(keyPath.substr(0, pos));
        }
    }
    return putValue(addKey(keyPath), name, data);
}

bool Document::putValue(std::size_t keySlot, std::string_view name, const backend::RawValue& data) {
    std::vector<Value>& values = keys_[keySlot].values;
    const auto [it, inserted] = valueIndex_[keySlot].try_emplace(lowerAscii(name), values.size());
    if (inserted) {
        values.push_back(Value{std::string(name), data});
        return true;
    }
    Value& existing = values[it->second];
    if (existing.data == data) {
        return false;
    }
    existing.data = data;
    return true;
}

bool Document::deleteValue(std::string_view keyPath, std::string_view name) {
    const auto key = index_.find(lowerAscii(keyPath));
    if (key == index_.end()) {
        return false;
    }
    NameIndex& names = valueIndex_[key->second];
    const auto value = names.find(lowerAscii(name));
    if (value == names.end()) {
        return false;
    }
    std::vector<Value>& values = keys_[key->second].values;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(value->second));
    // The values after it moved down by one.
    names.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        names.emplace(lowerAscii(values[i].name), i);
    }
    return true;
}

std::variant<Document, ParseError> parse(std::string_view text) {
    Document doc;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.remove_prefix(3);
    }
    std::size_t lineNo = 0;
    std::size_t pos = 0;
    bool sawHeader = false;
    std::optional<std::size_t> current;
    auto nextLine = [&](std::string_view& line) {
        if (pos >= text.size()) {
            return false;
        }
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        pos = end + 1;
        ++lineNo;
        return true;
    };
    auto fail = [&](std::string message) { return ParseError{lineNo, std::move(message)}; };

    std::string_view raw;
    while (nextLine(raw)) {
        const std::string_view line = trim(raw);
        if (!sawHeader) {
            if (line != "REGEDIT4") {
                return fail("the first line is not REGEDIT4");
            }
            sawHeader = true;
            continue;
        }
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
                return fail("malformed key line");
            }
            current = doc.addKey(line.substr(1, line.size() - 2));
            continue;
        }
        if (!current) {
            return fail("value outside of any key");
        }
        std::string name;
        std::string_view rest;
        if (line[0] == '@') {
            rest = line.substr(1);
        } else if (!readQuoted(line, name, rest)) {
            return fail("malformed value name");
        }
        rest = trim(rest);
        if (rest.empty() || rest[0] != '=') {
            return fail("missing '=' after the value name");
        }
        std::string data(trim(rest.substr(1)));
        // hex lists may continue over several lines, each but the last ending in '\'.
        if (data.rfind("hex", 0) == 0) {
            while (!data.empty() && data.back() == '\\') {
                data.pop_back();
                std::string_view more;
                if (!nextLine(more)) {
                    return fail("hex list continues past the end of the file");
                }
                data += trim(more);
            }
        }
        backend::RawValue value;
        std::string error;
        if (!readData(data, value, error)) {
            return fail(error);
        }
        // Later lines win, as when an export is imported.
        doc.putValue(*current, name, value);
    }
    if (!sawHeader) {
        return fail("the file is empty");
    }
    return doc;
}

std::string serialize(const Document& doc) {
    std::string out = "REGEDIT4\n\n";
    for (const Key& key : doc.keys()) {
        out += '[' + key.path + "]\n";
        for (const Value& v : key.values) {
            appendValue(out, v);
        }
        out += '\n';
    }
    return out;
}

} // namespace quillarbor::regfile
