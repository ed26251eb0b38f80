// The picture's letterboxed rectangle and its whole enlargement factor.
#include "platform/picture_place.h"

#include <algorithm>

namespace crossfall {
namespace {

constexpr long PICTURE_WIDTH = 800;
constexpr long PICTURE_HEIGHT = 600;

} // namespace

PicturePlace placePicture(int width, int height) {
    const long w = std::max(1, width);
    const long h = std::max(1, height);
    PicturePlace place;
    // Whichever side fills first sets the size; the other is rounded to the nearest pixel.
    if (w * PICTURE_HEIGHT <= h * PICTURE_WIDTH) {
        place.width = static_cast<int>(w);
        place.height =
            static_cast<int>(std::max(1L, (w * PICTURE_HEIGHT * 2 + PICTURE_WIDTH) / (PICTURE_WIDTH * 2)));
    } else {
        place.height = static_cast<int>(h);
        place.width =
            static_cast<int>(std::max(1L, (h * PICTURE_WIDTH * 2 + PICTURE_HEIGHT) / (PICTURE_HEIGHT * 2)));
    }
    place.x = static_cast<int>((w - place.width) / 2);
    place.y = static_cast<int>((h - place.height) / 2);
    const long across = (place.width + PICTURE_WIDTH - 1) / PICTURE_WIDTH;
    const long down = (place.height + PICTURE_HEIGHT - 1) / PICTURE_HEIGHT;
    place.factor = static_cast<int>(std::max(across, down));
    // A rectangle a whole factor wide is that factor high too: the other side is rounded from it.
    place.exact = place.width == place.factor * PICTURE_WIDTH;
    place.supersample = place.width * 4 < place.factor * PICTURE_WIDTH * 3;
    return place;
}

} // namespace crossfall
