#include "settings/key_value.h"
#include "settings/registry_backend.h"
#include "support/temp_config.h"

#include <gtest/gtest.h>

#include <string>

using namespace quillarbor;

namespace {

constexpr std::string_view kKey = "Software\\QuillarborTest\\KeyValue";

class KeyValue : public ::testing::Test {
protected:
    TempConfig config;

    void plant(std::uint32_t type, std::string bytes) {
        backend::writeValue(RegRoot::CurrentUser, kKey, "PATH", {type, std::move(bytes)});
    }
};

} // namespace

TEST_F(KeyValue, TrimsExactlyOneTrailingNul) {
    const struct {
        const char* label;
        std::string stored;
        std::string expected;
    } cases[] = {
        {"with its terminator", std::string("C:\\Tools\\info.exe\0", 18), "C:\\Tools\\info.exe"},
        {"without a terminator", "C:\\Tools\\info.exe", "C:\\Tools\\info.exe"},
        {"two terminators keep one", std::string("ab\0\0", 4), std::string("ab\0", 3)},
        {"1024 bytes with the terminator", std::string(1023, 'p') + '\0', std::string(1023, 'p')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        plant(backend::kRegSz, c.stored);
        std::string value = "previous";
        EXPECT_TRUE(GetKeyValue(RegRoot::CurrentUser, kKey, "PATH", value));
        EXPECT_EQ(value, c.expected);
    }
}

TEST_F(KeyValue, MissingOrOversizedValuesAreNotFoundAndEmptyTheResult) {
    std::string value = "previous";
    EXPECT_FALSE(GetKeyValue(RegRoot::CurrentUser, "Software\\NoSuchKey", "PATH", value));
    EXPECT_EQ(value, "");

    plant(backend::kRegSz, "x");
    value = "previous";
    EXPECT_FALSE(GetKeyValue(RegRoot::CurrentUser, kKey, "MISSING", value));
    EXPECT_EQ(value, "");

    plant(backend::kRegSz, std::string(1025, 'p'));
    value = "previous";
    EXPECT_FALSE(GetKeyValue(RegRoot::CurrentUser, kKey, "PATH", value));
    EXPECT_EQ(value, "");
}

TEST_F(KeyValue, OtherTypesCountAsFound) {
    std::string value = "previous";
    plant(backend::kRegExpandSz, std::string("%SystemRoot%\\info.exe\0", 22));
    EXPECT_TRUE(GetKeyValue(RegRoot::CurrentUser, kKey, "PATH", value));
    EXPECT_EQ(value, "previous") << "a type other than text leaves the result as it was";

    plant(backend::kRegDword, std::string("\x34\x12\0\x01", 4));
    EXPECT_TRUE(GetKeyValue(RegRoot::CurrentUser, kKey, "PATH", value));
    EXPECT_EQ(value, "&h01001234");
}

TEST_F(KeyValue, AValueWithNoBytesIsAnError) {
    plant(backend::kRegSz, "");
    std::string value;
    EXPECT_THROW(GetKeyValue(RegRoot::CurrentUser, kKey, "PATH", value), KeyValueError);
}
