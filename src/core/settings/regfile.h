#pragma once

#include "settings/registry_backend.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

// The store's file format: registry export text ("REGEDIT4"), UTF-8.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Quillarbor\delay]
//   "String"="2.5"
//
// Quoted text holds exactly its bytes (\\ is a backslash, \" a quote);
// dword:0000000a is a 32-bit number; hex(N):xx,xx,... holds any other type, and
// text whose bytes the quoted form cannot carry (a NUL, a line break, bytes
// that are not UTF-8). Key and value names match ignoring ASCII letter case
// and keep the case they were created with.
namespace quillarbor::regfile {

struct Value {
    std::string name;
    backend::RawValue data;
};

struct Key {
    std::string path; // full path, root included: HKEY_CURRENT_USER\Software\...
    std::vector<Value> values;
};

class Document {
public:
    const std::vector<Key>& keys() const { return keys_; }

    const Key* findKey(std::string_view path) const;
    const backend::RawValue* findValue(std::string_view keyPath, std::string_view name) const;

    // Both return whether the document changed. setValue creates the key and
    // every missing parent, as the registry does.
    bool setValue(std::string_view keyPath, std::string_view name, const backend::RawValue& data);
    bool deleteValue(std::string_view keyPath, std::string_view name);

    // For the parser: add a key as it stands (no parents) and set a value in
    // it. Both return or take the key's slot, which stays valid as keys are added.
    std::size_t addKey(std::string_view path);
    bool putValue(std::size_t keySlot, std::string_view name, const backend::RawValue& data);

private:
    using NameIndex = std::unordered_map<std::string, std::size_t>; // lower-cased name -> slot

    std::vector<Key> keys_;
    NameIndex index_; // key paths -> keys_
    // Per key: value names -> Key::values, so a key with many values still loads in linear time.
    std::vector<NameIndex> valueIndex_;
};

struct ParseError {
    std::size_t line = 0; // 1-based
    std::string message;
};

std::variant<Document, ParseError> parse(std::string_view text);
std::string serialize(const Document& doc);

// Whether a name can be written into the file at all (no line breaks, no NUL).
bool isStorableName(std::string_view name);

std::string lowerAscii(std::string_view text);

} // namespace quillarbor::regfile
