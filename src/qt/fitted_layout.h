#pragma once

#include "app/window_forms.h"

#include <span>

class QWidget;

namespace quillarbor {

// Places the controls of `area` named in `controls` at their twip rectangles, and sizes `area`
// to its client size in twips, all grown by the one factor the texts need in the desktop's type.
// Returns the pixels to a twip.
double fitLayout(QWidget* area, std::span<const form::Control> controls, int clientWidth,
                 int clientHeight);

} // namespace quillarbor
