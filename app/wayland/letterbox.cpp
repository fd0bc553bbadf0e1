#include "app/wayland/letterbox.hpp"

namespace zelm {

// Integer arithmetic: the side that limits the scale is filled exactly, the other is rounded.
PictureRect letterbox(int width, int height, int picture_width, int picture_height) {
    if (width <= 0 || height <= 0 || picture_width <= 0 || picture_height <= 0) {
        return PictureRect{0, 0, width, height};
    }
    const long long across = static_cast<long long>(width) * picture_height;
    const long long down = static_cast<long long>(height) * picture_width;
    PictureRect rect{0, 0, width, height};
    if (across > down) {  // wider than the picture: bars left and right
        rect.width = static_cast<int>((down + picture_height / 2) / picture_height);
        rect.x = (width - rect.width) / 2;
    } else {  // taller: bars above and below
        rect.height = static_cast<int>((across + picture_width / 2) / picture_width);
        rect.y = (height - rect.height) / 2;
    }
    return rect;
}

}  // namespace zelm
