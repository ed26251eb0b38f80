// The picture's place in windows of every shape: 4:3 kept, centred, and the whole factor it is
// enlarged by before the linear reduction.
#include "platform/picture_place.h"

#include <gtest/gtest.h>

using namespace crossfall;

TEST(PicturePlace, TheLargestCentredFourByThreeRectangleAndTheSmallestCoveringWholeFactor) {
    // Output width and height, then x, y, width, height, factor, whether the factor is exact and
    // whether the reduction is steeper than 4:3 (supersampled).
    const struct {
        int w, h, x, y, width, height, factor;
        bool exact, supersample;
    } cases[] = {
        {800, 600, 0, 0, 800, 600, 1, true, false},
        {1600, 1200, 0, 0, 1600, 1200, 2, true, false},
        {1920, 1080, 240, 0, 1440, 1080, 2, false, false},
        {2560, 1440, 320, 0, 1920, 1440, 3, false, false},
        {1280, 800, 106, 0, 1067, 800, 2, false, true},
        {3840, 2160, 480, 0, 2880, 2160, 4, false, false},
        {1280, 1024, 0, 32, 1280, 960, 2, false, false}, // taller than 4:3: bars above and below
        {2400, 1800, 0, 0, 2400, 1800, 3, true, false},
        {801, 600, 0, 0, 800, 600, 1, true, false},
        {802, 601, 0, 0, 801, 601, 2, false, true},  // one pixel over a whole factor takes the next
        {640, 480, 0, 0, 640, 480, 1, false, false}, // smaller than the picture: linear down only
        {1, 1, 0, 0, 1, 1, 1, false, true},
        {0, -5, 0, 0, 1, 1, 1, false, true},
        {1200, 900, 0, 0, 1200, 900, 2, false, false}, // exactly 4:3 down: two texels cover a pixel
        {1199, 899, 0, 0, 1199, 899, 2, false, true},
    };
    for (const auto& c : cases) {
        const PicturePlace p = placePicture(c.w, c.h);
        EXPECT_TRUE(p.x == c.x && p.y == c.y && p.width == c.width && p.height == c.height)
            << c.w << "x" << c.h << ": " << p.x << "," << p.y << " " << p.width << "x" << p.height;
        EXPECT_EQ(p.factor, c.factor) << c.w << "x" << c.h;
        EXPECT_EQ(p.exact, c.exact) << c.w << "x" << c.h;
        EXPECT_EQ(p.supersample, c.supersample) << c.w << "x" << c.h;
    }
}
