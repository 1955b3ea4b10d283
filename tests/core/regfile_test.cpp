#include "settings/regfile.h"

#include <gtest/gtest.h>

#include <string>

using quillarbor::backend::RawValue;
using namespace quillarbor::regfile;

namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Quillarbor\\delay";

Document parseOk(std::string_view text) {
    auto parsed = parse(text);
    if (auto* err = std::get_if<ParseError>(&parsed)) {
        ADD_FAILURE() << "line " << err->line << ": " << err->message;
        return {};
    }
    return std::get<Document>(std::move(parsed));
}

Document roundTrip(const Document& doc) { return parseOk(serialize(doc)); }

} // namespace

TEST(RegFile, EveryValueFormRoundTripsByteForByte) {
    const struct {
        const char* label;
        RawValue value;
        const char* expectedLine; // nullptr: only the round trip is checked
    } cases[] = {
        {"plain text", {1, "2.5"}, "\"String\"=\"2.5\""},
        {"backslashes and quotes", {1, "C:\\Skins\\\"a\".bmp"}, "\"String\"=\"C:\\\\Skins\\\\\\\"a\\\".bmp\""},
        {"empty text", {1, ""}, "\"String\"=\"\""},
        {"single space", {1, " "}, "\"String\"=\" \""},
        {"UTF-8 text", {1, "caf\xC3\xA9 \xE6\x97\xA5.bmp"}, nullptr},
        {"text with its NUL", {1, std::string("C:\\a\0", 5)}, "\"String\"=hex(1):43,3a,5c,61,00"},
        {"text with a line break", {1, "a\nb"}, "\"String\"=hex(1):61,0a,62"},
        {"bytes that are not UTF-8", {1, "/skins/\xFF\xFE.bmp"}, nullptr},
        {"dword", {4, std::string("\x0a\0\0\0", 4)}, "\"String\"=dword:0000000a"},
        {"dword of odd size", {4, "ab"}, "\"String\"=hex(4):61,62"},
        {"binary", {3, std::string("\x00\xff", 2)}, "\"String\"=hex:00,ff"},
        {"expandable text", {2, std::string("%TEMP%\0", 7)}, nullptr},
        {"long binary wraps", {3, std::string(300, '\x5a')}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Document doc;
        doc.setValue(kKey, "String", c.value);
        const std::string text = serialize(doc);
        if (c.expectedLine != nullptr) {
            EXPECT_NE(text.find(std::string("\n") + c.expectedLine + "\n"), std::string::npos)
                << text;
        }
        const Document again = roundTrip(doc);
        const RawValue* back = again.findValue(kKey, "String");
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->type, c.value.type);
        EXPECT_EQ(back->bytes, c.value.bytes);
    }
}

TEST(RegFile, WritesAnExportWithParentKeysFirst) {
    Document doc;
    doc.setValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\path", "String", {1, "/home/a"});
    EXPECT_EQ(serialize(doc), "REGEDIT4\n\n"
                              "[HKEY_CURRENT_USER\\Software]\n\n"
                              "[HKEY_CURRENT_USER\\Software\\Quillarbor]\n\n"
                              "[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\n"
                              "\"String\"=\"/home/a\"\n\n");
}

TEST(RegFile, NamesMatchIgnoringCaseAndKeepTheirFirstSpelling) {
    Document doc;
    doc.setValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\Path", "String", {1, "a"});
    EXPECT_TRUE(doc.setValue("hkey_current_user\\SOFTWARE\\quillarbor\\path", "STRING", {1, "b"}));
    EXPECT_FALSE(doc.setValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\PATH", "string", {1, "b"}));
    ASSERT_EQ(doc.keys().size(), 3u);
    EXPECT_EQ(doc.keys()[2].path, "HKEY_CURRENT_USER\\Software\\Quillarbor\\Path");
    EXPECT_EQ(doc.keys()[2].values.at(0).name, "String");
    EXPECT_EQ(doc.findValue("HKEY_CURRENT_USER\\software\\quillarbor\\path", "string")->bytes, "b");
    EXPECT_TRUE(doc.deleteValue("HKEY_CURRENT_USER\\SOFTWARE\\QUILLARBOR\\PATH", "String"));
    EXPECT_FALSE(doc.deleteValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\path", "String"));
    EXPECT_EQ(doc.findValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\path", "String"), nullptr);
}

TEST(RegFile, AcceptsWhatHandWrittenExportsContain) {
    const Document doc = parseOk("\xEF\xBB\xBFREGEDIT4\r\n"
                                 "\r\n"
                                 "; written by hand\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\r\n"
                                 "  \"String\" = \"C:\\Skins\"  \r\n"
                                 "@=\"default\"\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Quillarbor\\delay]\r\n"
                                 "\"Raw\"=hex(1):32,2e,\\\r\n"
                                 "   35,00\r\n"
                                 "\"String\"=\"1\"\r\n"
                                 "\"String\"=\"3\"\r\n");
    // An unescaped backslash is taken as written rather than rejecting the file.
    EXPECT_EQ(doc.findValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\path", "String")->bytes,
              "C:\\Skins");
    EXPECT_EQ(doc.findValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\path", "")->bytes,
              "default");
    EXPECT_EQ(doc.findValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\delay", "Raw")->bytes,
              std::string("2.5\0", 4));
    EXPECT_EQ(doc.findValue("HKEY_CURRENT_USER\\Software\\Quillarbor\\delay", "String")->bytes,
              "3");
}

TEST(RegFile, RejectsWhatIsNotAnExport) {
    const struct {
        const char* label;
        std::string text;
        std::size_t line;
    } cases[] = {
        {"empty file", "", 0},
        {"zero bytes", std::string(64, '\0'), 1},
        {"another header", "Windows Registry Editor Version 5.00\n", 1},
        {"UTF-16 with a byte-order mark", std::string("\xFF\xFER\0E\0G\0", 8), 1},
        {"value before any key", "REGEDIT4\n\"a\"=\"b\"\n", 2},
        {"line cut in half", "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"String\"=\"C:\\\\Sk", 3},
        {"key line cut in half", "REGEDIT4\n[HKEY_CURRENT_USER\\a\n", 2},
        {"bad dword", "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"d\"=dword:12\n", 3},
        {"bad hex", "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"d\"=hex:1g\n", 3},
        {"hex list cut at a continuation", "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"d\"=hex:01,\\", 3},
        {"garbage after text", "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"d\"=\"x\"y\n", 3},
        {"deletion syntax", "REGEDIT4\n[-HKEY_CURRENT_USER\\a]\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto parsed = parse(c.text);
        ASSERT_TRUE(std::holds_alternative<ParseError>(parsed));
        EXPECT_EQ(std::get<ParseError>(parsed).line, c.line);
    }
}

TEST(RegFile, AKeyWithManyValuesKeepsEachFindableThroughChangesAndDeletions) {
    constexpr int kValues = 20000;
    std::string text = std::string("REGEDIT4\n[") + kKey + "]\n";
    for (int i = 0; i < kValues; ++i) {
        text += "\"v" + std::to_string(i) + "\"=\"" + std::to_string(i) + "\"\n";
    }
    Document doc = parseOk(text);
    ASSERT_EQ(doc.keys().size(), 1u);
    ASSERT_EQ(doc.keys()[0].values.size(), static_cast<std::size_t>(kValues));
    for (int i = 0; i < kValues; ++i) {
        const RawValue* value = doc.findValue(kKey, "V" + std::to_string(i));
        ASSERT_NE(value, nullptr) << i;
        ASSERT_EQ(value->bytes, std::to_string(i));
    }

    // Deleting from the middle moves every later value down; each is still found as itself.
    EXPECT_TRUE(doc.deleteValue(kKey, "V500"));
    EXPECT_FALSE(doc.deleteValue(kKey, "v500"));
    EXPECT_EQ(doc.findValue(kKey, "v500"), nullptr);
    EXPECT_TRUE(doc.setValue(kKey, "V501", {1, "changed"}));
    EXPECT_TRUE(doc.setValue(kKey, "v500", {1, "back"}));
    const auto& values = doc.keys()[0].values;
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kValues));
    EXPECT_EQ(values[500].name, "v501");
    EXPECT_EQ(values[500].data.bytes, "changed");
    EXPECT_EQ(values.back().name, "v500");
    EXPECT_EQ(doc.findValue(kKey, "v499")->bytes, "499");
    EXPECT_EQ(doc.findValue(kKey, "v19999")->bytes, "19999");

    const Document again = roundTrip(doc);
    EXPECT_EQ(again.findValue(kKey, "v500")->bytes, "back");
    EXPECT_EQ(again.keys()[0].values.size(), static_cast<std::size_t>(kValues));
}
