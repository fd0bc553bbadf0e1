// The size of a surface's buffer at the scale it is shown at, testable without a compositor.
// Scales are in 120ths, as the fractional-scale protocol sends them (120: scale 1).
#pragma once

namespace zelm {

// The buffer length for a surface length at scale_120: rounded half away from zero, as the
// fractional-scale protocol asks; the surface length itself at a scale that is not positive.
int scaled_length(int length, int scale_120);

}  // namespace zelm
