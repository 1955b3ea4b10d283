#pragma once

namespace quillarbor {

// Called before the QApplication exists. A one-shot run started by a scheduled
// job may have no display to open; it must still apply its skin and exit.
void prepareDisplay(bool oneShot);

} // namespace quillarbor
