// zelm for Linux: reads the settings from the XDG store, picks X11 or Wayland, then runs the
// mode that the command line asks for: "/p" (preview: nothing to show), "/c" (the configuration
// dialog) or the demo; or a saver, which runs with the defaults of the settings it cannot read:
// started by XScreenSaver (-root, -window-id ID, $XSCREENSAVER_WINDOW), the X11 hack; with
// --overlay, the Wayland saver, and with --idle, the watcher that starts it after idle time.
// Also --version; --xscreensaver-add/-remove, which edit the user's XScreenSaver programs; and
// --autostart/--no-autostart, which write or remove the watcher's autostart entry.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/linux/autostart.hpp"
#include "app/linux/linux_options.hpp"
#include "app/linux/linux_runner.hpp"
#include "app/linux/linux_shell.hpp"
#include "app/linux/stop_signals.hpp"
#include "app/linux/xscreensaver_programs.hpp"
#include "app/run_mode.hpp"
#if ZELM_WITH_WAYLAND
#include "app/wayland/wayland_shell.hpp"
#endif
#if ZELM_WITH_X11
#include "app/x11/x11_demo_window.hpp"
#include "app/x11/x11_hack_window.hpp"
#endif
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"
#include "settings/fltk/fltk_config_dialog.hpp"
#include "settings/settings.hpp"
#include "settings/xdg/registry_xdg.hpp"

namespace {

// The saver's look: the stored settings with this run's options over them (nothing is written
// back), text in the window's pixels, no mode switch (the screen is not the saver's to change).
void apply_saver_options(const zelm::LinuxRequest& request) {
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

// The display systems' run modes: the demo, the saver (the hack on X11, --overlay on Wayland) and
// the idle watcher (Wayland only); null where the build left a system out.
#if ZELM_WITH_X11
constexpr zelm::LinuxShell x11_shell{"X11", &zelm::x11_demo, &zelm::x11_hack, nullptr};
#else
constexpr zelm::LinuxShell x11_shell{"X11", nullptr, nullptr, nullptr};
#endif
#if ZELM_WITH_WAYLAND
constexpr zelm::LinuxShell wayland_shell{"Wayland", &zelm::wayland_demo, &zelm::wayland_overlay,
                                         zelm::wayland_run_idle};
#else
constexpr zelm::LinuxShell wayland_shell{"Wayland", nullptr, nullptr, nullptr};
#endif

void report_no_wayland() {
    zelm::linux_report(zelm::linux_messages::no_live_compositor);
}

bool built(const zelm::LinuxShell& shell) {
    return shell.demo != nullptr;
}

// Whether $WAYLAND_DISPLAY names a live compositor that this build can use.
bool wayland_live() {
#if ZELM_WITH_WAYLAND
    return zelm::wayland_display_available();
#else
    return false;
#endif
}

// The display system for the request: the one it names, else Wayland where $WAYLAND_DISPLAY
// names a live compositor; the XScreenSaver modes are X11's, the saver and its watcher Wayland's.
// Null, after saying why, when the one needed is not built or not there.
const zelm::LinuxShell* choose_shell(const zelm::LinuxRequest& request) {
    using namespace zelm;
    const bool x11_modes =
        request.command == LinuxCommand::root || request.command == LinuxCommand::window;
    const bool wayland_asked = request.display == DisplayChoice::wayland ||
                               request.command == LinuxCommand::overlay ||
                               request.command == LinuxCommand::idle;
    const zelm::LinuxShell* shell = &x11_shell;
    if (!x11_modes && request.display != DisplayChoice::x11) {
        if (wayland_asked && !built(wayland_shell)) {
            linux_report(linux_messages::built_without, "Wayland");
            return nullptr;
        }
        if (wayland_live()) {
            shell = &wayland_shell;
        } else if (wayland_asked || !built(x11_shell)) {
            linux_report(linux_messages::no_live_compositor);
            return nullptr;
        }
    }
    if (!built(*shell)) {
        linux_report(linux_messages::built_without, shell->name);
        return nullptr;
    }
    return shell;
}

}  // namespace

// Usage or hack options, settings, then the run mode; returns the process exit code.
int main(int argc, char** argv) {
    using namespace zelm;
    // Read by 3Dfx Glide drivers, where one still exists, to skip their start-up logo.
    setenv("FX_GLIDE_NOSPLASH", "1", 1);
    unblock_stop_signals();

    const LinuxRequest hack = parse_linux_request(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    if (hack.command == LinuxCommand::help) {
        std::fputs(messages::usage, stdout);
        return 0;
    }
    if (hack.command == LinuxCommand::version) {
        std::printf("zelm %s\n", ZELM_VERSION);
        return 0;
    }
    if (hack.command == LinuxCommand::xscreensaver_add ||
        hack.command == LinuxCommand::xscreensaver_remove) {
        return xscreensaver_edit_programs(hack.command == LinuxCommand::xscreensaver_add ? 1 : 0);
    }
    if (hack.command == LinuxCommand::bad) {
        linux_report(linux_messages::text, hack.error.c_str());
        if (hack.usage_too != 0) {
            std::fputs(messages::usage, stderr);
        }
        return 1;
    }

    if (hack.command == LinuxCommand::autostart) {
        if (!built(wayland_shell)) {
            linux_report(linux_messages::idle_needs_wayland);
            return 1;
        }
        return write_autostart(hack);
    }
    if (hack.command == LinuxCommand::no_autostart) {
        return remove_autostart();
    }

    XdgStore store = xdg_store_from_environment();
    settings_registry = xdg_settings_registry(store);
    const zelm::LinuxShell* shell = choose_shell(hack);
    if (shell == nullptr) {
        return 1;
    }
    if (hack.command != LinuxCommand::none) {
        apply_saver_options(hack);
        return hack.command == LinuxCommand::idle ? shell->run_idle(hack)
                                                  : run_linux_saver(*shell->saver, hack);
    }
    const int force_dialog = read_settings_or_warn();

    const std::string command_line = run_mode_command_line(argc, argv);
    switch (choose_run_mode(command_line.c_str(), force_dialog)) {
        case RunMode::preview:
            return 0;
        case RunMode::configure:
            return fltk_run_config_dialog();
        case RunMode::demo: {
            // X was the way left: a demo that could not open it had no Wayland either.
            const bool x11_left =
                hack.display == DisplayChoice::any && shell == &x11_shell && built(wayland_shell);
            return run_linux_demo(*shell->demo, x11_left ? report_no_wayland : nullptr);
        }
    }
    return 0;
}
