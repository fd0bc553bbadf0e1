// libFuzzer entry point for the PCX loader. Each input becomes an in-memory file that the loader
// opens by path; the recording OpenGL copies every uploaded level, so the sanitizers also see
// the reads of the loader's buffers. Besides memory faults it stops on broken promises: a
// failure that made OpenGL calls, or a success without the eight levels and the final unbind.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelm;
    static const MemoryFile file = open_memory_file();
    if (ftruncate(file.fd, 0) != 0 ||
        (size > 0 && pwrite(file.fd, data, size, 0) != static_cast<ssize_t>(size))) {
        fail("cannot write the input file");
    }
    glrec::reset();
    const int loaded = load_pcx_texture(file.path.c_str(), 3);
    if (loaded == 0) {
        if (!glrec::gl_calls.empty()) {
            fail("a failed load made OpenGL calls");
        }
    } else if (loaded != 1 || glrec::tex_images.size() != 8 || size < 128 + 768 ||
               glrec::tex_images[0].width < 1 || glrec::tex_images[0].width > 4096 ||
               glrec::tex_images[0].height < 1 || glrec::tex_images[0].height > 4096 ||
               glrec::texts().back() != "glBindTexture(GL_TEXTURE_2D, 0)") {
        fail("a successful load broke its contract");
    }
    return 0;
}
