// The cut-short test reads sizes from untrusted headers: no read past the
// bytes, no overflow, for any input.
#include "rotation/bitmap_check.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each call sees exactly its bytes, so ASan catches a read past the end.
    static_cast<void>(
        quillarbor::bitmapIsCutShort(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
