#pragma once

#include "app/window_forms.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>

// How a window's twip layout becomes pixels. The type stays at the desktop's size; when a text
// does not fit its box, the whole layout grows by one factor, as it would at a higher DPI.
namespace quillarbor::form {

struct PixelRect {
    int left, top, width, height;
};

// Each edge is rounded on its own, so that boxes which meet in twips meet in pixels, with neither
// a gap nor an overlap between them.
inline PixelRect toPixels(const TwipRect& rect, double pixelsPerTwip) {
    const auto edge = [pixelsPerTwip](int twips) {
        return static_cast<int>(std::lround(twips * pixelsPerTwip));
    };
    const int left = edge(rect.left);
    const int top = edge(rect.top);
    return {left, top, edge(rect.left + rect.width) - left, edge(rect.top + rect.height) - top};
}

struct TextSize {
    int width, height;
};

// The factor a window's layout is scaled by so that every control's text fits its box: 1 when all
// fit already. `measure(i, width)` gives the pixels the text of `controls[i]` takes when wrapped
// at `width` (a text on one line ignores it). A box that grows gets a pixel to spare, which its
// rounded edges may take back.
template <typename Measure>
double layoutScale(std::span<const Control> controls, double pixelsPerTwip, Measure measure) {
    const auto needed = [&](double factor) {
        double most = factor;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const TwipRect& box = controls[i].rect;
            const PixelRect shown = toPixels(box, pixelsPerTwip * factor);
            const TextSize size = measure(i, shown.width);
            if (size.width > shown.width) {
                most = std::max(most, (size.width + 1) / (box.width * pixelsPerTwip));
            }
            if (size.height > shown.height) {
                most = std::max(most, (size.height + 1) / (box.height * pixelsPerTwip));
            }
        }
        return most;
    };
    double low = 1.0;
    double high = needed(1.0);
    // A wrapped text takes fewer lines in a wider box, so the factor measured at the designed
    // widths may be more than it needs: a few halvings find one closer to the least.
    for (int step = 0; high > low && step < 6; ++step) {
        const double middle = (low + high) / 2;
        (needed(middle) > middle ? low : high) = middle;
    }
    return high;
}

} // namespace quillarbor::form
