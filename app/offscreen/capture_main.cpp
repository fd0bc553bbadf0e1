// zelm-capture: runs the demo's scene in an offscreen 640x480 EGL pbuffer with a stepped clock
// and writes every frame as a PNG file. See capture_usage for the options.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/offscreen/capture_options.hpp"
#include "app/offscreen/capture_platform.hpp"
#include "app/offscreen/egl_offscreen.hpp"
#include "app/offscreen/output_folder.hpp"
#include "app/offscreen/png_frame.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

#ifndef ZELM_DEFAULT_DATADIR
#define ZELM_DEFAULT_DATADIR "data"
#endif

namespace zelm {
namespace {

constexpr int capture_width = 640;
constexpr int capture_height = 480;

// The data folder of the source tree it was built from, or, once installed (where that tree
// is usually gone), share/zelm beside the bin folder that holds this program.
std::string default_datadir() {
    std::error_code ec;
    if (std::filesystem::is_directory(ZELM_DEFAULT_DATADIR, ec)) {
        return ZELM_DEFAULT_DATADIR;
    }
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const std::filesystem::path installed = exe.parent_path().parent_path() / "share" / "zelm";
        if (std::filesystem::is_directory(installed, ec)) {
            return installed.string();
        }
    }
    return ZELM_DEFAULT_DATADIR;
}

// Draws the frames and writes them; the process's exit code.
int capture(CaptureOptions& options) {
    std::string error;
    const int folder = open_output_folder(options.out_dir, error);
    if (folder < 0) {
        std::fprintf(stderr, "zelm-capture: %s\n", error.c_str());
        return 1;
    }
    EglOffscreen egl{};
    if (egl_offscreen_create(egl, capture_width, capture_height) == 0) {
        std::fprintf(stderr, "zelm-capture: no offscreen OpenGL context\n");
        close(folder);
        return 1;
    }
    datadir = options.datadir.data();
    use_heightfield = options.use_heightfield;
    use_alt_blend = options.use_alt_blend;
    fullscreen = 0;
    stepped_clock_init(options.start_ms, options.frame_ms);

    scene_setup();
    // A failed setup destroys the demo window, which ends the run before its first frame.
    int status = (capture_window_destroyed != 0) ? 1 : 0;
    for (long frame = 0; status == 0 && frame < options.frames; ++frame) {
        stepped_clock_next_frame();
        draw_frame();
        if (!capture_writes_frame(options, frame)) {
            continue;
        }
        // The swap of a pbuffer only finishes the drawing, so what is read now is the frame as
        // it stood before its swap.
        const std::vector<std::uint8_t> rgb = egl_offscreen_read_rgb(egl);
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04ld.png", frame);
        if (write_png_rgb(folder, name, capture_width, capture_height, rgb) == 0) {
            std::fprintf(stderr, "zelm-capture: cannot write '%s/%s'\n", options.out_dir.c_str(),
                         name);
            status = 1;
        }
    }
    egl_offscreen_destroy(egl);
    close(folder);
    return status;
}

}  // namespace
}  // namespace zelm

int main(int argc, char** argv) {
    zelm::CaptureOptions options;
    std::string error;
    const std::string datadir = zelm::default_datadir();
    if (zelm::parse_capture_options(argc, argv, datadir.c_str(), options, error) == 0) {
        std::fprintf(stderr, "zelm-capture: %s\nTry 'zelm-capture --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(zelm::capture_usage, stdout);
        return 0;
    }
    return zelm::capture(options);
}
