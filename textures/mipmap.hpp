// Mipmap chain: level 0 is the image, levels 1 to 7 each keep every second pixel of every second
// row of the level before. Always eight levels, built in the image's own buffer.
#pragma once

#include "textures/pcx_loader.hpp"

namespace zelm {

// Uploads levels 0 to 7 of image into its texture_id; overwrites image.pixels, and leaves
// image.width and image.height at level 7's size.
void upload_mipmap_chain(TextureImage& image);

// Replaces image by its point-sampled half, in place.
void halve_image(TextureImage& image);

}  // namespace zelm
