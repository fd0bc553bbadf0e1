// zelm for Linux: reads the settings from the XDG store, then runs the mode that the command
// line asks for: "/p" (preview: nothing to show), "/c" (the configuration dialog) or the demo;
// or, started by XScreenSaver (-root, -window-id ID, $XSCREENSAVER_WINDOW), the hack, which
// runs with the defaults of the settings it cannot read.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/linux/linux_options.hpp"
#include "app/linux/linux_shell.hpp"
#include "app/run_mode.hpp"
#include "app/x11/x11_demo_window.hpp"
#include "app/x11/x11_hack_window.hpp"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"
#include "settings/fltk/fltk_config_dialog.hpp"
#include "settings/settings.hpp"
#include "settings/xdg/registry_xdg.hpp"

namespace {

// SIGINT, SIGTERM and SIGHUP end every run mode (the XScreenSaver daemon ends its hacks with
// SIGTERM). A mask inherited from the parent must not keep them out.
void unblock_stop_signals() {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGHUP);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
}

// The arguments as one text, the way the Windows shell receives its command line.
std::string command_line_text(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

// The saver's look: the stored settings with this run's options over them (nothing is written
// back), text in the window's pixels, no mode switch (the screen is not the saver's to change).
void apply_saver_options(const zelm::HackRequest& request) {
    using namespace zelm;
    read_settings();  // what cannot be read keeps its default, without a word
    if (request.heightfield >= 0) {
        use_heightfield = request.heightfield;
    }
    if (request.alt_blend >= 0) {
        use_alt_blend = request.alt_blend;
    }
    fullscreen = 0;
    show_frame_rate = request.show_fps;
    text_in_window_pixels = 1;
}

}  // namespace

// Usage or hack options, settings, then the run mode; returns the process exit code.
int main(int argc, char** argv) {
    using namespace zelm;
    // Read by 3Dfx Glide drivers, where one still exists, to skip their start-up logo.
    setenv("FX_GLIDE_NOSPLASH", "1", 1);
    unblock_stop_signals();

    const HackRequest hack = parse_hack_request(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    if (hack.target == HackTarget::help) {
        std::fputs(messages::usage, stdout);
        return 0;
    }
    if (hack.target == HackTarget::bad) {
        linux_report(hack.error.c_str());
        if (hack.usage_too != 0) {
            std::fputs(messages::usage, stderr);
        }
        return 1;
    }

    XdgStore store = xdg_store_from_environment();
    settings_registry = xdg_settings_registry(store);
    if (hack.target != HackTarget::none) {
        apply_saver_options(hack);
        return x11_run_hack(hack);
    }
    const int force_dialog = read_settings_or_warn();

    const std::string command_line = command_line_text(argc, argv);
    switch (choose_run_mode(command_line.c_str(), force_dialog)) {
        case RunMode::preview:
            return 0;
        case RunMode::configure:
            return fltk_run_config_dialog();
        case RunMode::demo:
            return x11_run_demo();
    }
    return 0;
}
