#include "app/layout_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

using namespace quillarbor::form;

namespace {

constexpr double kAt96Dpi = 1.0 / 15;

TEST(LayoutScale, NeighbouringBoxesMeetAtEveryScale) {
    // Two boxes side by side and one below: in twips they share edges, so in pixels they must.
    const TwipRect left{240, 120, 1575, 255};
    const TwipRect right{1815, 120, 1000, 255};
    const TwipRect below{240, 375, 1575, 375};
    for (const double scale : {kAt96Dpi, 0.1, kAt96Dpi * 1.37, kAt96Dpi * 2.11}) {
        const PixelRect l = toPixels(left, scale);
        const PixelRect r = toPixels(right, scale);
        const PixelRect b = toPixels(below, scale);
        EXPECT_EQ(l.left + l.width, r.left) << scale;
        EXPECT_EQ(l.top + l.height, b.top) << scale;
    }
    const PixelRect designed = toPixels({4080, 360, 3255, 2235}, kAt96Dpi);
    EXPECT_EQ(designed.left, 272);
    EXPECT_EQ(designed.top, 24);
    EXPECT_EQ(designed.width, 217);
    EXPECT_EQ(designed.height, 149);
}

// A text that wraps: `words` words of 50 pixels, as many to a line as the width holds, 10 high.
TextSize wrapped(int words, int width) {
    const int perLine = std::max(1, width / 50);
    return {std::min(words, perLine) * 50, (words + perLine - 1) / perLine * 10};
}

TEST(LayoutScale, TheLargestNeedSetsOneFactorThatFitsEveryText) {
    const TwipRect caption{240, 2760, 1575, 255}; // 105 x 17 pixels at 96 DPI
    const TwipRect field{1815, 2767, 975, 375};   // 65 x 25, set off by half a pixel
    const TwipRect label{0, 0, 1500, 300};        // 100 x 20: two words to a line, two lines
    const struct {
        std::vector<TwipRect> boxes;
        std::vector<TextSize> sizes; // {0, n} for a text of n words that wraps in its box
        double atLeast, atMost;
    } cases[] = {
        {{}, {}, 1.0, 1.0},
        {{caption, field}, {{105, 17}, {0, 25}}, 1.0, 1.0},             // all fit: nothing grows
        {{caption}, {{150, 12}}, 149.0 / 105, 151.0 / 105},             // too wide
        {{caption, field}, {{60, 30}, {0, 20}}, 29.0 / 17, 31.0 / 17},  // too tall
        {{caption, field}, {{140, 12}, {0, 40}}, 39.0 / 25, 41.0 / 25}, // the larger need wins
        // Six words need three lines at the designed width, but two at three words a line.
        {{label}, {{0, 6}}, 1.48, 1.52},
        {{label, caption}, {{0, 4}, {0, 17}}, 1.0, 1.0},
    };
    for (const auto& row : cases) {
        const auto measure = [&](std::size_t i, int width) {
            return row.sizes[i].width == 0 && row.boxes[i].width == label.width
                       ? wrapped(row.sizes[i].height, width)
                       : row.sizes[i];
        };
        std::vector<Control> controls;
        for (const TwipRect& box : row.boxes) {
            controls.push_back({Kind::Text, "", box, "", "", ""});
        }
        const double factor = layoutScale(controls, kAt96Dpi, measure);
        EXPECT_GE(factor, row.atLeast);
        EXPECT_LE(factor, row.atMost);
        for (std::size_t i = 0; i < row.boxes.size(); ++i) {
            const PixelRect shown = toPixels(row.boxes[i], kAt96Dpi * factor);
            EXPECT_GE(shown.width, measure(i, shown.width).width);
            EXPECT_GE(shown.height, measure(i, shown.width).height);
        }
    }
}

} // namespace
