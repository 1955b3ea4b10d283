#pragma once

#include <chrono>

namespace quillarbor {

// How often an icon that no notification area took is offered again, for as long as the program
// wants it: desktops start their notification area after the programs that start at logon, and
// a panel may be restarted at any time.
inline constexpr std::chrono::milliseconds kTrayRetryInterval{2000};

} // namespace quillarbor
