// PCX texture loader. Reads the image window from the 128-byte header, one run-length encoded
// stream of 8-bit palette indices from offset 128, and the 256-colour palette from the last 768
// bytes of the file; sizes are in pixels, texels are RGBA bytes.
#include "textures/pcx_loader.hpp"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/regular_file.hpp"
#include "textures/mipmap.hpp"

namespace zelm {

namespace {

constexpr long header_size = 128;
constexpr long palette_size = 768;
// The palette index drawn as transparent white.
constexpr std::uint8_t transparent_index = 255;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
using Bytes = std::unique_ptr<std::uint8_t[]>;

// A buffer of count bytes, or null when memory runs out.
Bytes allocate(std::int64_t count) {
    return Bytes(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(count)]);
}

// A little-endian signed 16-bit field of the header.
std::int32_t header_i16(const std::uint8_t* header, int offset) {
    return static_cast<std::int16_t>(header[offset] | (header[offset + 1] << 8));
}

// The file's length in bytes, or -1 when it cannot be told.
long file_length(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    return std::ftell(file);
}

// The pixel stream, read a block at a time: a stream of zero-count runs as long as the file
// costs one pass over it rather than a library call per byte.
class StreamReader {
public:
    explicit StreamReader(std::FILE* file) : file_(file) {}

    // The next byte, or EOF past the end of the file.
    int next() {
        if (pos_ == end_) {
            end_ = std::fread(block_, 1, sizeof block_, file_);
            pos_ = 0;
            if (end_ == 0) {
                return EOF;
            }
        }
        return block_[pos_++];
    }

private:
    std::FILE* file_;
    std::uint8_t block_[16384];
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// Decodes run-length packets into count indices, reading nothing once they are all written. A
// byte past the end of the file reads as 255, so from the first such byte on every index left
// is 255.
void decode_indices(std::FILE* file, std::uint8_t* indices, std::int64_t count) {
    StreamReader stream(file);
    std::int64_t written = 0;
    while (written < count) {
        const int b = stream.next();
        if (b == EOF) {
            break;
        }
        if (b < 0xC0) {
            indices[written++] = static_cast<std::uint8_t>(b);
            continue;
        }
        const int v = stream.next();
        if (v == EOF) {
            break;
        }
        const std::int64_t run = std::min<std::int64_t>(b - 0xC0, count - written);
        std::memset(indices + written, v, static_cast<std::size_t>(run));
        written += run;
    }
    std::memset(indices + written, 0xFF, static_cast<std::size_t>(count - written));
}

// Expands count indices into RGBA texels; index 255 is transparent white. Each index's texel is
// looked up, and the loop runs on pointers: under the fuzzer's instrumentation a per-pixel
// integer comparison costs more than the pixel.
void expand_indices(const std::uint8_t* indices, const std::uint8_t* palette, std::int64_t count,
                    std::uint8_t* rgba) {
    std::uint8_t texels[256][4];
    for (int k = 0; k < 256; ++k) {
        texels[k][0] = palette[k * 3];
        texels[k][1] = palette[k * 3 + 1];
        texels[k][2] = palette[k * 3 + 2];
        texels[k][3] = 255;
    }
    texels[transparent_index][0] = texels[transparent_index][1] = 255;
    texels[transparent_index][2] = 255;
    texels[transparent_index][3] = 0;
    const std::uint8_t* const end = indices + count;
    for (const std::uint8_t* k = indices; k != end; ++k, rgba += 4) {
        std::memcpy(rgba, texels[*k], 4);
    }
}

}  // namespace

int load_pcx_texture(const char* path, int texture_id) {
    return load_pcx_texture_within(path, texture_id, pcx_max_side);
}

int load_pcx_texture_within(const char* path, int texture_id, std::int32_t max_side) {
    File file(open_regular_file(path));
    if (!file) {
        return 0;
    }
    Bytes palette = allocate(palette_size);
    if (!palette) {
        return 0;
    }
    std::uint8_t header[header_size];
    if (std::fread(header, header_size, 1, file.get()) != 1) {
        return 0;
    }

    const std::int32_t width = header_i16(header, 8) - header_i16(header, 4) + 1;
    const std::int32_t height = header_i16(header, 10) - header_i16(header, 6) + 1;
    if (width < 1 || height < 1 || width > max_side || height > max_side) {
        return 0;
    }
    const std::int64_t pixel_count = std::int64_t{width} * height;

    // Header and palette must both be there; the palette is the last 768 bytes.
    const long length = file_length(file.get());
    if (length < header_size + palette_size) {
        return 0;
    }
    Bytes indices = allocate(pixel_count);
    if (!indices) {
        return 0;
    }
    if (std::fseek(file.get(), length - palette_size, SEEK_SET) != 0 ||
        std::fread(palette.get(), 1, palette_size, file.get()) != palette_size ||
        std::fseek(file.get(), header_size, SEEK_SET) != 0) {
        return 0;
    }
    decode_indices(file.get(), indices.get(), pixel_count);
    file.reset();

    Bytes rgba = allocate(pixel_count * 4);
    if (!rgba) {
        return 0;
    }
    expand_indices(indices.get(), palette.get(), pixel_count, rgba.get());
    indices.reset();
    palette.reset();

    TextureImage image{width, height, texture_id, rgba.get()};
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_id));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    static_cast<GLfloat>(GL_LINEAR_MIPMAP_NEAREST));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    upload_mipmap_chain(image);
    glBindTexture(GL_TEXTURE_2D, 0);
    return 1;
}

}  // namespace zelm
