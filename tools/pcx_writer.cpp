// PCX writer: header, run-length packets (a run never crosses a row, as most readers expect),
// the 0x0C marker and the 768-byte palette.
#include "tools/pcx_writer.hpp"

#include <cstddef>

namespace zelm {

namespace {

constexpr int max_run = 63;

// Stores a little-endian 16-bit value at offset.
void put_u16(std::vector<std::uint8_t>& out, std::size_t offset, int value) {
    out[offset] = static_cast<std::uint8_t>(value & 0xFF);
    out[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Appends one row as packets: a single index below 0xC0 stands alone, anything else is a run.
void encode_row(const std::uint8_t* row, int width, std::vector<std::uint8_t>& out) {
    int x = 0;
    while (x < width) {
        const std::uint8_t value = row[x];
        int run = 1;
        while (x + run < width && run < max_run && row[x + run] == value) {
            ++run;
        }
        if (run > 1 || value >= 0xC0) {
            out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        }
        out.push_back(value);
        x += run;
    }
}

}  // namespace

std::vector<std::uint8_t> encode_pcx(const IndexedImage& image) {
    std::vector<std::uint8_t> out(128, 0);
    out[0] = 10;                         // manufacturer: ZSoft
    out[1] = 5;                          // version: 256-colour palette at the end
    out[2] = 1;                          // encoding: run-length
    out[3] = 8;                          // bits per pixel
    put_u16(out, 8, image.width - 1);    // xmax; xmin and ymin stay 0
    put_u16(out, 10, image.height - 1);  // ymax
    put_u16(out, 12, 72);                // resolution in dots per inch
    put_u16(out, 14, 72);
    out[65] = 1;                    // planes
    put_u16(out, 66, image.width);  // bytes per line
    put_u16(out, 68, 1);            // palette type: colour
    for (int y = 0; y < image.height; ++y) {
        encode_row(&image.indices[static_cast<std::size_t>(y) * image.width], image.width, out);
    }
    out.push_back(0x0C);
    out.insert(out.end(), image.palette.begin(), image.palette.end());
    return out;
}

}  // namespace zelm
