// The store's file format against arbitrary bytes: the parser never crashes,
// and whatever it accepts is written back and read again unchanged.
#include "settings/regfile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace quillarbor;
using namespace quillarbor::regfile;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "regfile_fuzz: %s\n", what);
    std::abort();
}

bool sameValues(const Value& a, const Value& b) {
    return a.name == b.name && a.data == b.data;
}

bool sameDocument(const Document& a, const Document& b) {
    return std::equal(a.keys().begin(), a.keys().end(), b.keys().begin(), b.keys().end(),
                      [](const Key& x, const Key& y) {
                          return x.path == y.path &&
                                 std::equal(x.values.begin(), x.values.end(), y.values.begin(),
                                            y.values.end(), sameValues);
                      });
}

// Serialises, parses again and demands the same document and the same text.
void checkRoundTrip(const Document& doc) {
    const std::string text = serialize(doc);
    auto again = parse(text);
    const auto* back = std::get_if<Document>(&again);
    if (back == nullptr) {
        fail("a serialized document does not parse");
    }
    if (!sameDocument(doc, *back)) {
        fail("a round trip changed the document");
    }
    if (serialize(*back) != text) {
        fail("serializing the same document twice gave different texts");
    }
}

// The input read as a file.
void parseAsFile(std::string_view text) {
    auto parsed = parse(text);
    if (const auto* error = std::get_if<ParseError>(&parsed)) {
        const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        if (error->line > lines + 1) {
            fail("a parse error names a line past the end");
        }
        return;
    }
    const Document& doc = std::get<Document>(parsed);
    for (const Key& key : doc.keys()) {
        if (doc.findKey(key.path) != &key) {
            fail("a key cannot be found by its own path");
        }
        for (const Value& value : key.values) {
            if (doc.findValue(key.path, value.name) != &value.data) {
                fail("a value cannot be found by its own name");
            }
        }
    }
    checkRoundTrip(doc);
}

// The input read as one value of any type, named by its bytes up to the first 0xFF.
void storeAsValue(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    const auto type = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[0]) % 8);
    bytes.remove_prefix(1);
    const auto split = bytes.find('\xFF');
    std::string_view name = bytes.substr(0, split);
    const std::string_view data = split == std::string_view::npos ? "" : bytes.substr(split + 1);
    if (!isStorableName(name)) {
        name = "String";
    }
    const std::string key = "HKEY_CURRENT_USER\\Software\\Quillarbor\\fuzz";
    Document doc;
    doc.setValue(key, name, {type, std::string(data)});
    const backend::RawValue* stored = doc.findValue(key, name);
    if (stored == nullptr || stored->type != type || stored->bytes != data) {
        fail("a value set is not the value found");
    }
    checkRoundTrip(doc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    parseAsFile(bytes);
    storeAsValue(bytes);
    return 0;
}
