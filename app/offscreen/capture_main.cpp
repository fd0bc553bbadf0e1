// zelm-capture: runs the demo's scene in an offscreen 640x480 EGL pbuffer with a stepped clock
// and writes every frame as a PNG file. See capture_usage for the options.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/offscreen/capture_options.hpp"
#include "app/offscreen/capture_platform.hpp"
#include "app/offscreen/egl_offscreen.hpp"
#include "app/offscreen/output_folder.hpp"
#include "app/offscreen/png_frame.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "settings/xdg/registry_xdg.hpp"

#ifndef ZELM_INSTALLED_DATADIR
#define ZELM_INSTALLED_DATADIR "/usr/share/zelm"
#endif

namespace zelm {
namespace {

constexpr int capture_width = 640;
constexpr int capture_height = 480;

// The data folder that zelm's settings name (the user's, then the system's), or else the
// installation's (its prefix is fixed when the build is configured: /usr in the package).
std::string default_datadir() {
    XdgStore store = xdg_store_from_environment();
    const SettingsRegistry registry = xdg_settings_registry(store);
    char stored[datadir_capacity] = "";
    if (registry.open_key(registry.context) != 0) {
        const int found = registry.query_value(registry.context, "datadir", stored, sizeof stored);
        registry.close_key(registry.context);
        if (found != 0 && stored[0] != '\0') {
            return stored;
        }
    }
    return ZELM_INSTALLED_DATADIR;
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
    // datadir is a buffer of datadir_buffer_size bytes wherever the settings may write into it.
    static std::vector<char> datadir_buffer;
    datadir_buffer.assign(std::max<std::size_t>(datadir_buffer_size, options.datadir.size() + 1),
                          '\0');
    std::copy(options.datadir.begin(), options.datadir.end(), datadir_buffer.begin());
    datadir = datadir_buffer.data();
    use_heightfield = options.use_heightfield;
    use_alt_blend = options.use_alt_blend;
    show_frame_rate = options.show_fps;
    fullscreen = 0;
    stepped_clock_init(options.start_ms, options.frame_ms);

    // A failed setup destroys the demo window, which ends the run before its first frame.
    int status =
        scene_setup() == 0 ? scene_memory_exit_code : (capture_window_destroyed != 0 ? 1 : 0);
    for (long frame = 0; status == 0 && frame < options.frames; ++frame) {
        stepped_clock_next_frame();
        if (draw_frame() == 0) {
            status = scene_memory_exit_code;
            break;
        }
        if (!capture_writes_frame(options, frame)) {
            continue;
        }
        // The swap of a pbuffer only finishes the drawing, so what is read now is the frame as
        // it stood before its swap.
        const std::vector<std::uint8_t> rgb = egl_offscreen_read_rgb(egl);
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04ld.png", frame);
        if (write_png_rgb(folder, name, capture_width, capture_height, rgb) == 0) {
            std::fprintf(stderr, "zelm-capture: cannot write '%s/%s': %s\n",
                         options.out_dir.c_str(), name, std::strerror(errno));
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
