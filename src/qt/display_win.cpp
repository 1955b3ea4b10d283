#include "qt/display.h"

namespace quillarbor {

// Windows always has a desktop to draw on, even for a scheduled task.
void prepareDisplay(bool /*oneShot*/) {
}

} // namespace quillarbor
