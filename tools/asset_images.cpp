// Procedural images for the data files. Doubles only meet +, -, *, /, floor and sqrt, all of
// them exact or exactly rounded, so every build makes the same bytes. Sizes are in pixels.
#include "tools/asset_images.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/font_glyphs.hpp"

namespace zelm {

namespace {

constexpr std::uint8_t transparent = 255;
constexpr int gradient_last = 254;  // gradients use entries 0 to 254
constexpr int nearly_black = 16;    // the sprite's gradient entries up to this are left out

// A blank image of the given size, every index set to fill.
IndexedImage blank_image(int width, int height, std::uint8_t fill) {
    IndexedImage image{width, height, {}, {}};
    image.indices.assign(static_cast<std::size_t>(width) * height, fill);
    image.palette.fill(0);
    return image;
}

// Sets palette entry k.
void set_colour(IndexedImage& image, int k, double r, double g, double b) {
    const auto byte = [](double v) {
        return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5);
    };
    image.palette[k * 3] = byte(r);
    image.palette[k * 3 + 1] = byte(g);
    image.palette[k * 3 + 2] = byte(b);
}

// A value in [0, 1] as a gradient index 0 to 254.
std::uint8_t gradient_index(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 1.0) * gradient_last + 0.5);
}

// Smooth interpolation weight for t in [0, 1].
double smooth(double t) {
    return t * t * (3 - 2 * t);
}

// A well-mixed 32-bit hash of a lattice point and a seed.
std::uint32_t hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(x) * 0x8DA6B343u) ^
                      (static_cast<std::uint32_t>(y) * 0xD8163841u);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// The hash as a value in [0, 1).
double unit(std::uint32_t h) {
    return (h >> 8) * (1.0 / 16777216.0);
}

// Value noise in [0, 1] on a lattice of period cells, sampled at (x, y) in lattice units.
double periodic_noise(double x, double y, int period, std::uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const auto at = [&](int i, int j) {
        return unit(hash(((i % period) + period) % period, ((j % period) + period) % period, seed));
    };
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
}

// Octaves of periodic noise over an image of side size, in [0, 1]; repeats every size pixels.
double periodic_fbm(double px, double py, int size, int base_period, int octaves,
                    std::uint32_t seed) {
    double sum = 0;
    double weight = 0.5;
    double total = 0;
    int period = base_period;
    for (int o = 0; o < octaves; ++o) {
        const double scale = static_cast<double>(period) / size;
        sum += weight * periodic_noise(px * scale, py * scale, period, seed + o);
        total += weight;
        weight *= 0.5;
        period *= 2;
    }
    return sum / total;
}

// Distances from (px, py) to the nearest and second nearest of one jittered point per cell,
// on a torus of side size cut into cells x cells.
void cell_distances(double px, double py, int size, int cells, double& f1, double& f2) {
    const double cell = static_cast<double>(size) / cells;
    const int cx = static_cast<int>(std::floor(px / cell));
    const int cy = static_cast<int>(std::floor(py / cell));
    f1 = f2 = size;
    for (int j = cy - 2; j <= cy + 2; ++j) {
        for (int i = cx - 2; i <= cx + 2; ++i) {
            const int wi = ((i % cells) + cells) % cells;
            const int wj = ((j % cells) + cells) % cells;
            const std::uint32_t h = hash(wi, wj, 0x5EEDu);
            const double fx = (i + 0.05 + 0.9 * unit(h)) * cell;
            const double fy = (j + 0.05 + 0.9 * unit(hash(wi, wj, h))) * cell;
            const double d = std::sqrt((fx - px) * (fx - px) + (fy - py) * (fy - py));
            if (d < f1) {
                f2 = f1;
                f1 = d;
            } else if (d < f2) {
                f2 = d;
            }
        }
    }
}

}  // namespace

IndexedImage make_font_image() {
    constexpr int size = 128;
    constexpr std::uint8_t ink = 1;
    IndexedImage image = blank_image(size, size, transparent);
    set_colour(image, ink, 255, 255, 255);
    set_colour(image, transparent, 255, 255, 255);
    for (int g = 0; g < glyph_count; ++g) {
        const int code = first_glyph + g;
        const int left = (code & 15) * 8;
        const int top = (code / 16) * 8;
        for (int row = 0; row < 8; ++row) {
            for (int col = 0; col < 8; ++col) {
                if (font_glyphs[g][row] & (0x80 >> col)) {
                    image.indices[static_cast<std::size_t>(top + row) * size + left + col] = ink;
                }
            }
        }
    }
    return image;
}

IndexedImage make_particle_image() {
    constexpr int size = 64;
    constexpr double radius = size / 2.0;
    IndexedImage image = blank_image(size, size, transparent);
    for (int k = 0; k <= gradient_last; ++k) {
        const double v = 255.0 * k / gradient_last;
        set_colour(image, k, v, v, v);
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5 - radius) / radius;
            const double dy = (y + 0.5 - radius) / radius;
            const double r2 = dx * dx + dy * dy;
            if (r2 >= 1) {
                continue;
            }
            // A wide halo that reaches black exactly at the rim, and a small hot core.
            const double halo = (1 - r2) * (1 - r2) * (1 - r2);
            const double core = std::max(0.0, 1 - 9 * r2);
            const double v = 0.8 * halo + 0.2 * core * core;
            // Nearly black texels stay transparent: under the alternate blending an opaque
            // one would cover what lies behind the sprite with a dark halo.
            if (gradient_index(v) > nearly_black) {
                image.indices[static_cast<std::size_t>(y) * size + x] = gradient_index(v);
            }
        }
    }
    return image;
}

IndexedImage make_height_image() {
    constexpr int size = 128;
    IndexedImage image = blank_image(size, size, 0);
    // Deep blue through teal to pale cyan highlights; bright overall because the mesh lighting
    // darkens it to about a quarter.
    for (int k = 0; k <= gradient_last; ++k) {
        const double t = static_cast<double>(k) / gradient_last;
        const double r = 20 + 235 * t * t * t;
        const double g = 70 + 120 * t + 60 * t * t;
        const double b = 130 + 125 * std::sqrt(t);
        set_colour(image, k, r, g, b);
    }
    set_colour(image, transparent, 255, 255, 255);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Warp the cells with periodic noise so their edges wander like light through waves.
            const double wx = x + 16 * (periodic_fbm(x, y, size, 4, 3, 11) - 0.5);
            const double wy = y + 16 * (periodic_fbm(x, y, size, 4, 3, 23) - 0.5);
            double f1 = 0;
            double f2 = 0;
            cell_distances(wx, wy, size, 5, f1, f2);
            // Wide, soft bands: the point-sampled mipmap levels keep them whole.
            const double edge = std::max(0.0, 1 - (f2 - f1) / 11);
            const double strength = 0.5 + periodic_fbm(x, y, size, 4, 2, 59);
            const double caustic = edge * edge * edge * strength;
            const double depth = periodic_fbm(x, y, size, 2, 4, 37);
            const double v = 0.2 + 0.3 * depth + 0.55 * caustic;
            image.indices[static_cast<std::size_t>(y) * size + x] = gradient_index(v);
        }
    }
    return image;
}

}  // namespace zelm
