// PNG writer for frames, on libpng. libpng reports errors by longjmp, so nothing with a
// destructor lives across the setjmp in write_rows.
#include "app/offscreen/png_frame.hpp"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <string>

namespace zelm {

namespace {

// Encodes the rows into file; 1 on success.
int write_rows(std::FILE* file, int width, int height, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return 0;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return 0;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Frames are written often and read rarely: favour speed over size.
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 1;
}

}  // namespace

// Writes the RGB image to a temporary name made with O_EXCL (which never follows a link), then
// renames it into place; removes the temporary file again if anything fails.
int write_png_rgb(int folder_fd, const char* name, int width, int height,
                  const std::vector<std::uint8_t>& rgb) {
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() < row_bytes * static_cast<std::size_t>(height)) {
        errno = EINVAL;
        return 0;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[static_cast<std::size_t>(y)] =
            const_cast<png_bytep>(rgb.data() + row_bytes * static_cast<std::size_t>(y));
    }
    const std::string temporary = "." + std::string(name) + ".tmp" + std::to_string(getpid());
    const int fd = openat(folder_fd, temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        return 0;
    }
    std::FILE* file = fdopen(fd, "wb");
    int error = 0;
    if (file == nullptr) {
        error = errno;
        close(fd);
    } else {
        // libpng stops at a failed write with errno still the write's.
        errno = 0;
        if (write_rows(file, width, height, rows.data()) == 0) {
            error = errno != 0 ? errno : EIO;
        }
        if (std::fclose(file) != 0 && error == 0) {
            error = errno;
        }
    }
    if (error == 0 && renameat(folder_fd, temporary.c_str(), folder_fd, name) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlinkat(folder_fd, temporary.c_str(), 0);
        errno = error;
        return 0;
    }
    return 1;
}

}  // namespace zelm
