#include "rotation/bitmap_check.h"

#include <cstddef>
#include <cstdint>

namespace quillarbor {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12; // the oldest header, 16-bit sizes
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int64_t kMaxBitsPerPixel = 32;

// Compression kinds whose pixel data size follows from width, height and depth.
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
// Run-length kinds, whose header states the size of the pixel data.
constexpr std::uint32_t kRunLength8 = 1;
constexpr std::uint32_t kRunLength4 = 2;

std::uint32_t readU16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

std::uint32_t readU32(std::string_view bytes, std::size_t at) {
    return readU16(bytes, at) | readU16(bytes, at + 2) << 16;
}

std::int64_t readI32(std::string_view bytes, std::size_t at) {
    return static_cast<std::int32_t>(readU32(bytes, at));
}

struct Rows {
    std::int64_t count = 0;
    std::int64_t length = 0;     // padded to whole 32-bit words
    std::int64_t lastLength = 0; // some writers leave the last row's padding out
};

Rows pixelRows(std::int64_t count, std::int64_t width, std::int64_t bitsPerPixel) {
    return {count, (width * bitsPerPixel + 31) / 32 * 4, (width * bitsPerPixel + 7) / 8};
}

} // namespace

bool bitmapIsCutShort(std::string_view bytes) {
    if (bytes.size() < kFileHeaderSize + 4 || bytes.substr(0, 2) != "BM") {
        return false;
    }
    const std::int64_t pixelsAt = readU32(bytes, 10);
    const std::uint32_t headerSize = readU32(bytes, kFileHeaderSize);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) {
        return false; // a header we do not know
    }
    if (bytes.size() < kFileHeaderSize + headerSize) {
        return true; // not even the whole header
    }

    Rows rows;
    if (headerSize == kCoreHeaderSize) {
        rows = pixelRows(readU16(bytes, 20), readU16(bytes, 18), readU16(bytes, 24));
    } else {
        const std::int64_t width = readI32(bytes, 18);
        const std::int64_t height = readI32(bytes, 22); // negative: rows stored top down
        const std::int64_t bitsPerPixel = readU16(bytes, 28);
        const std::uint32_t compression = readU32(bytes, 30);
        if (compression == kUncompressed || compression == kBitFields ||
            compression == kAlphaBitFields) {
            if (width <= 0 || bitsPerPixel == 0 || bitsPerPixel > kMaxBitsPerPixel) {
                return false; // no size to check against
            }
            rows = pixelRows(height < 0 ? -height : height, width, bitsPerPixel);
        } else if (compression == kRunLength8 || compression == kRunLength4) {
            const std::int64_t stated = readU32(bytes, 34);
            rows = {1, stated, stated};
        } else {
            return false; // an embedded picture of another format
        }
    }
    const std::int64_t available = static_cast<std::int64_t>(bytes.size()) - pixelsAt;
    if (rows.count == 0) {
        return available < 0;
    }
    if (available < rows.lastLength) {
        return true;
    }
    // The rows before the last, compared by division: rows times length can exceed 64 bits.
    return rows.count > 1 && rows.length > (available - rows.lastLength) / (rows.count - 1);
}

} // namespace quillarbor
