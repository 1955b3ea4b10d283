#pragma once

#include <string_view>

namespace quillarbor {

// True when the bytes are a Windows bitmap whose header promises more pixel data
// than the file holds: a copy cut short. Qt's reader shows what is there and
// fills the rest, but the browser that is handed the path cannot load it.
// Anything that is not a bitmap with a header we know, or whose size cannot be
// worked out from its header, is left to the picture reader to judge.
bool bitmapIsCutShort(std::string_view bytes);

} // namespace quillarbor
