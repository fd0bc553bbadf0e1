// Command-line options of zelm-capture, the offscreen renderer that writes the demo's frames as
// PNG files. Times are in milliseconds.
#pragma once

#include <cstdint>
#include <string>

namespace zelm {

struct CaptureOptions {
    std::string out_dir;     // where frame-NNNN.png go; required
    long frames;             // frames to draw
    long every;              // write every Nth frame from the first, and the last
    std::uint32_t frame_ms;  // clock step before every tick
    std::uint32_t start_ms;  // the clock's first value
    std::string datadir;     // folder of the three PCX files
    int use_heightfield;
    int use_alt_blend;
    int show_fps;  // the frame-rate meter, which reads the stepped clock
    bool help;
};

// The usage text printed by --help.
extern const char capture_usage[];

// Whether frame (counted from 0) is written: every Nth from the first, and always the last, so
// a long run still shows where it ended.
bool capture_writes_frame(const CaptureOptions& options, long frame);

// Fills options from argv, starting from the defaults (default_datadir for --datadir). Returns
// 1, or 0 with a one-line reason in error.
int parse_capture_options(int argc, const char* const* argv, const char* default_datadir,
                          CaptureOptions& options, std::string& error);

}  // namespace zelm
