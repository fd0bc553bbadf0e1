#include "app/wayland/surface_scale.hpp"

namespace zelm {

int scaled_length(int length, int scale_120) {
    if (scale_120 <= 0) {
        return length;
    }
    const long long scaled = static_cast<long long>(length) * scale_120;
    return static_cast<int>(scaled >= 0 ? (scaled + 60) / 120 : (scaled - 60) / 120);
}

}  // namespace zelm
