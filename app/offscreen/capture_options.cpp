// Parsing of zelm-capture's options: "--name value" or "--name=value", every value checked.
#include "app/offscreen/capture_options.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zelm {

extern const char capture_usage[] =
    "Usage: zelm-capture --out DIR [options]\n"
    "Renders the Zelm screen saver offscreen at 640x480 with a fixed clock step and writes each\n"
    "frame to DIR/frame-0000.png, DIR/frame-0001.png, ...\n"
    "\n"
    "  --out DIR          folder for the frames (created if missing); required\n"
    "  --frames N         frames to draw (default 1)\n"
    "  --every N          write only frames 0, N, 2N, ... and the last one, each under its own\n"
    "                     number; the others are drawn and dropped (default 1: every frame)\n"
    "  --frame-ms MS      milliseconds the clock advances before every tick (default 16)\n"
    "  --start-ms T       the clock's first value, which also seeds the spiral (default 0)\n"
    "  --datadir PATH     folder holding particle.pcx, font.pcx and height.pcx (default: the\n"
    "                     datadir of zelm's settings or, where none is stored, the installed\n"
    "                     data folder)\n"
    "  --heightfield 0|1  draw the rippling mesh (default 1)\n"
    "  --alt-blend 0|1    blend the sprites over the scene instead of adding them (default 0)\n"
    "  --fps 0|1          draw the frame-rate meter, which shows the stepped clock's rate\n"
    "                     (default 1)\n"
    "  --help             show this text\n"
    "\n"
    "Exit status: 0 when every frame due was written, 1 when the scene could not start or a frame\n"
    "could not be written, 2 for a bad option.\n";

namespace {

// Parses text as a whole decimal number from 0 to hi.
int parse_number(const char* text, unsigned long long hi, unsigned long long& value) {
    if (text[0] < '0' || text[0] > '9') {
        return 0;  // no sign, no blanks
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > hi) {
        return 0;
    }
    value = v;
    return 1;
}

// Parses a switch: exactly "0" or "1".
int parse_switch(const char* text, int& value) {
    if (std::strcmp(text, "0") == 0 || std::strcmp(text, "1") == 0) {
        value = text[0] - '0';
        return 1;
    }
    return 0;
}

}  // namespace

bool capture_writes_frame(const CaptureOptions& options, long frame) {
    return frame % options.every == 0 || frame == options.frames - 1;
}

// Fills options from argv; 0 with a reason in error for anything it cannot use.
int parse_capture_options(int argc, const char* const* argv, const char* default_datadir,
                          CaptureOptions& options, std::string& error) {
    options = CaptureOptions{"", 1, 1, 16, 0, default_datadir, 1, 0, 1, false};
    bool have_out = false;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return 1;
        }
        if (name.rfind("--", 0) != 0) {
            error = "unexpected argument '" + name + "'";
            return 0;
        }
        const char* value = nullptr;
        std::string inline_value;
        const std::size_t eq = name.find('=');
        if (eq != std::string::npos) {
            inline_value = name.substr(eq + 1);
            name.resize(eq);
            value = inline_value.c_str();
        }
        const bool known = name == "--out" || name == "--frames" || name == "--every" ||
                           name == "--frame-ms" || name == "--start-ms" || name == "--datadir" ||
                           name == "--heightfield" || name == "--alt-blend" || name == "--fps";
        if (!known) {
            error = "unknown option '" + name + "'";
            return 0;
        }
        if (value == nullptr) {
            if (i + 1 >= argc) {
                error = "option '" + name + "' needs a value";
                return 0;
            }
            value = argv[++i];
        }
        unsigned long long number = 0;
        int ok = 1;
        const char* expected = "a folder";
        if (name == "--out") {
            options.out_dir = value;
            have_out = true;
            ok = options.out_dir.empty() ? 0 : 1;
        } else if (name == "--datadir") {
            options.datadir = value;
            ok = options.datadir.empty() ? 0 : 1;
        } else if (name == "--frames") {
            expected = "a whole number from 0 to 100000000";
            ok = parse_number(value, 100000000, number);
            options.frames = static_cast<long>(number);
        } else if (name == "--every") {
            expected = "a whole number from 1 to 100000000";
            ok = parse_number(value, 100000000, number) && number >= 1;
            options.every = static_cast<long>(number);
        } else if (name == "--frame-ms") {
            expected = "milliseconds from 0 to 60000";
            ok = parse_number(value, 60000, number);
            options.frame_ms = static_cast<std::uint32_t>(number);
        } else if (name == "--start-ms") {
            expected = "milliseconds from 0 to 4294967295";
            ok = parse_number(value, 0xFFFFFFFFull, number);
            options.start_ms = static_cast<std::uint32_t>(number);
        } else {
            expected = "0 or 1";
            ok = parse_switch(value, name == "--heightfield" ? options.use_heightfield
                                     : name == "--fps"       ? options.show_fps
                                                             : options.use_alt_blend);
        }
        if (!ok) {
            error = "bad value '" + std::string(value) + "' for " + name + ": expected " + expected;
            return 0;
        }
    }
    if (!have_out) {
        error = "missing --out DIR";
        return 0;
    }
    return 1;
}

}  // namespace zelm
