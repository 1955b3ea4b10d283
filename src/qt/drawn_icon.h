#pragma once

#include <QIcon>

#include <functional>

class QPainter;

namespace quillarbor {

// An icon drawn by code on a 16-unit square, at whatever size it is shown. Cheaper than a theme
// lookup for a style's icon, which took a quarter of a start.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw);

} // namespace quillarbor
