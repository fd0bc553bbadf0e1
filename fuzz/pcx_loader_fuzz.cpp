// libFuzzer entry point for the PCX loader. Each input becomes an in-memory file that the loader
// opens by path; the recording OpenGL copies the uploaded level 0, so the sanitizers also see
// the read of the whole decoded image (the smaller levels lie inside it), and records only the
// sizes of the others. Besides memory faults it stops on broken promises: a failure that made
// OpenGL calls, or a success without the eight levels and the final unbind.
//
// Windows are capped at 256 pixels a side here instead of the program's 4096: the loader takes
// the same paths at any size (the cap check, the stream running out or overflowing, levels
// reaching zero), 256 is twice our largest texture so the data files load whole, and a
// 4096 x 4096 header alone would cost a second and 400 MB under the sanitizers.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/recording_gl.hpp"
#include "textures/pcx_loader.hpp"

namespace {

// Stops the run with a message that names the broken promise.
void fail(const char* why) {
    std::fprintf(stderr, "pcx_loader_fuzz: %s\n", why);
    std::abort();
}

// An anonymous in-memory file and a path that opens it.
struct MemoryFile {
    int fd;
    std::string path;
};

MemoryFile open_memory_file() {
    const int fd = memfd_create("pcx", 0);
    if (fd < 0) {
        fail("memfd_create failed");
    }
    return {fd, "/proc/self/fd/" + std::to_string(fd)};
}

constexpr std::int32_t max_side = 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelm;
    static const MemoryFile file = open_memory_file();
    glrec::copied_levels = 1;
    if (ftruncate(file.fd, 0) != 0 ||
        (size > 0 && pwrite(file.fd, data, size, 0) != static_cast<ssize_t>(size))) {
        fail("cannot write the input file");
    }
    glrec::reset();
    const int loaded = load_pcx_texture_within(file.path.c_str(), 3, max_side);
    if (loaded == 0) {
        if (!glrec::gl_calls.empty()) {
            fail("a failed load made OpenGL calls");
        }
    } else if (loaded != 1 || glrec::tex_images.size() != 8 || size < 128 + 768 ||
               glrec::tex_images[0].width < 1 || glrec::tex_images[0].width > max_side ||
               glrec::tex_images[0].height < 1 || glrec::tex_images[0].height > max_side ||
               glrec::texts().back() != "glBindTexture(GL_TEXTURE_2D, 0)") {
        fail("a successful load broke its contract");
    }
    return 0;
}
