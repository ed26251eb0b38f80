// Where the 800 x 600 picture goes in a window of any size, and how it is scaled there: the largest
// 4:3 rectangle that fits, centred (black bars around it), reached by "sharp bilinear" scaling: a
// whole-factor nearest-neighbour enlargement, then a linear reduction to the rectangle. The SDL
// display calls it for every picture it shows.
#pragma once

namespace crossfall {

struct PicturePlace {
    int x = 0, y = 0, width = 0, height = 0; // the picture's rectangle in output pixels
    int factor = 1;                          // the smallest whole enlargement covering the rectangle
    bool exact = false; // the rectangle is exactly that enlargement: nearest neighbour alone
    // The reduction is steeper than 4:3 (1280 x 800 and the like): linear samples a quarter pixel
    // apart are averaged, so each pixel takes in its whole footprint.
    bool supersample = false;
};

// For an output of width x height pixels (both at least 1).
PicturePlace placePicture(int width, int height);

} // namespace crossfall
