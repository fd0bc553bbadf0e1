// Records the OpenGL calls of one frame of the scene: sets the scene up under the recording
// OpenGL, runs it with the capture's 16 ms stepped clock and writes the calls of the last frame.
// Usage: bench_scene_record OUT_FILE FRAMES
#include <cstdio>
#include <cstdlib>

#include "app/offscreen/capture_platform.hpp"
#include "bench/scene/gl_replay.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "tests/support/recording_gl.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_scene_record OUT_FILE FRAMES\n");
        return 2;
    }
    const long frames = std::strtol(argv[2], nullptr, 10);
    if (frames < 1) {
        std::fprintf(stderr, "bench_scene_record: FRAMES must be at least 1\n");
        return 2;
    }
    static char data[] = ZELM_DATA_DIR;
    zelm::datadir = data;
    zelm::glrec::keep_pixels = false;
    zelm::stepped_clock_init(0, 16);
    zelm::scene_setup();
    if (zelm::capture_window_destroyed != 0) {
        return 1;
    }
    for (long frame = 1; frame <= frames; ++frame) {
        zelm::glrec::reset();
        zelm::stepped_clock_next_frame();
        zelm::draw_frame();
    }
    if (zelm::write_call_stream(argv[1], zelm::glrec::gl_calls) == 0) {
        std::fprintf(stderr, "bench_scene_record: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
