// Where the demo's 640 x 480 picture goes in a surface of another size: as large as fits with
// its aspect kept, centred, the rest left black. A Wayland client cannot switch the output's
// mode, so a full-screen demo and a window that a tiling compositor sized both show it so.
#pragma once

namespace zelm {

struct PictureRect {
    int x;  // from the surface's left edge, in pixels
    int y;  // from its bottom edge (OpenGL's viewport origin)
    int width;
    int height;
};

// The rectangle for a picture of picture_width x picture_height in a surface of width x
// height; the whole surface when either size is not positive.
PictureRect letterbox(int width, int height, int picture_width, int picture_height);

}  // namespace zelm
