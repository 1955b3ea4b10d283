#include "rotation/bitmap_check.h"
#include "rotation/skin_file.h"
#include "support/temp_config.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace quillarbor;

namespace {

void putU16(std::string& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xff);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xff);
}

void putU32(std::string& bytes, std::size_t at, std::uint32_t value) {
    putU16(bytes, at, value & 0xffff);
    putU16(bytes, at + 2, value >> 16);
}

struct Info {
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint32_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t statedSize = 0;
};

// A bitmap with a 40-byte header and `pixelBytes` bytes of pixel data after it.
std::string infoBitmap(const Info& info, std::size_t pixelBytes) {
    std::string bytes(54 + pixelBytes, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    putU32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    putU32(bytes, 10, 54);
    putU32(bytes, 14, 40);
    putU32(bytes, 18, static_cast<std::uint32_t>(info.width));
    putU32(bytes, 22, static_cast<std::uint32_t>(info.height));
    putU16(bytes, 26, 1);
    putU16(bytes, 28, info.bitsPerPixel);
    putU32(bytes, 30, info.compression);
    putU32(bytes, 34, info.statedSize);
    return bytes;
}

// The oldest header: 12 bytes, 16-bit sizes.
std::string coreBitmap(std::uint32_t width, std::uint32_t height, std::size_t pixelBytes) {
    std::string bytes(26 + pixelBytes, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    putU32(bytes, 10, 26);
    putU32(bytes, 14, 12);
    putU16(bytes, 18, width);
    putU16(bytes, 20, height);
    putU16(bytes, 22, 1);
    putU16(bytes, 24, 24);
    return bytes;
}

} // namespace

// 3 pixels of 24 bits: 9 bytes, padded to 12 a row.
TEST(BitmapCheck, WholeBitmapsPass) {
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({}, 24)));
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({}, 30))) << "bytes after the pixels";
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({}, 12 + 9))) << "last row without padding";
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.height = -2}, 24))) << "rows top down";
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.width = 33, .bitsPerPixel = 1}, 16)));
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.compression = 3}, 24))) << "bit fields";
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.compression = 1, .statedSize = 10}, 10)));
    EXPECT_FALSE(bitmapIsCutShort(coreBitmap(3, 2, 24)));
}

TEST(BitmapCheck, CopiesCutShortAreFound) {
    EXPECT_TRUE(bitmapIsCutShort(infoBitmap({}, 12 + 8))) << "last row short";
    EXPECT_TRUE(bitmapIsCutShort(infoBitmap({}, 11))) << "first row short";
    EXPECT_TRUE(bitmapIsCutShort(infoBitmap({}, 0))) << "header alone";
    EXPECT_TRUE(bitmapIsCutShort(infoBitmap({}, 0).substr(0, 30))) << "header cut";
    EXPECT_TRUE(bitmapIsCutShort(infoBitmap({.height = -2}, 20))) << "rows top down";
    EXPECT_TRUE(bitmapIsCutShort(infoBitmap({.compression = 2, .statedSize = 10}, 9)));
    EXPECT_TRUE(bitmapIsCutShort(coreBitmap(3, 2, 20)));
    // Sizes whose product overflows 64 bits must not wrap round to a small need.
    EXPECT_TRUE(bitmapIsCutShort(
        infoBitmap({.width = 0x7fffffff, .height = -0x7fffffff - 1, .bitsPerPixel = 32}, 64)));
}

// The picture reader judges what this check cannot size.
TEST(BitmapCheck, WhatItCannotSizeIsLeftToTheReader) {
    EXPECT_FALSE(bitmapIsCutShort(""));
    EXPECT_FALSE(bitmapIsCutShort("BM"));
    EXPECT_FALSE(bitmapIsCutShort("GIF89a and more than eighteen bytes"));
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.compression = 4}, 0))) << "embedded JPEG";
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.bitsPerPixel = 0}, 0)));
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.bitsPerPixel = 64}, 0)));
    EXPECT_FALSE(bitmapIsCutShort(infoBitmap({.width = -3}, 0)));
    std::string unknownHeader = infoBitmap({}, 0);
    putU32(unknownHeader, 14, 20);
    EXPECT_FALSE(bitmapIsCutShort(unknownHeader));
}

TEST(SkinFile, OnlyAWholeFileOfAtMostTheCapIsRead) {
    TempConfig config;
    const auto at = [&](const char* name) { return (config.root() / name).string(); };
    const std::string whole = infoBitmap({}, 2 * 12);
    TempConfig::writeFile(at("whole.bmp"), whole);
    TempConfig::writeFile(at("cut.bmp"), whole.substr(0, whole.size() - 8));
    TempConfig::writeFile(at("empty.bmp"), "");
    EXPECT_EQ(readSkinFile(at("whole.bmp")), whole);
    EXPECT_EQ(readSkinFile(at("empty.bmp")), "");
    EXPECT_EQ(readSkinFile(at("cut.bmp")), std::nullopt);
    EXPECT_EQ(readSkinFile(at("missing.bmp")), std::nullopt);
    EXPECT_EQ(detail::readWholeFile(at("whole.bmp"), whole.size() - 1), std::nullopt);
}
