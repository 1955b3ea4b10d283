#pragma once

namespace quillarbor {

// Chooses the window system before the QApplication exists. A one-shot run started by a
// scheduled job may have no display to open; it must still apply its skin and exit. Where both
// X11 and Wayland are offered, X11 is preferred: the window's placement and its hiding when
// minimised rely on things a Wayland client is not told (its position, that it was minimised).
// QT_QPA_PLATFORM, when set, always wins. False, with one line on stderr, when a normal start
// has no display at all.
bool prepareDisplay(bool oneShot);

// After the QApplication exists: false, with one line on stderr, when a normal start ended up
// on no real display (every display named could not be opened).
bool displayOpened(bool oneShot);

} // namespace quillarbor
