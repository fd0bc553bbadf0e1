#include "app/linux/linux_runner.hpp"

#include <cstdlib>
#include <string>

#include "app/linux/dbus_inhibit.hpp"
#include "app/linux/paced_loop.hpp"
#include "app/linux/stop_signals.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

namespace zelm {

namespace {

// What the run in progress holds beyond its shell.
struct LinuxRun {
    const LinuxDemo* demo;
    const LinuxSaver* saver;
    DbusInhibit desktop_inhibit;  // the demo's, while its window exists
    int saver_end_requested;      // the scene asked the saver to end (a failed setup)
    WindowServices services;
};

LinuxRun run{};

// The desktop's inhibit goes with the window, after the window's own steps.
void destroy_demo_window() {
    run_demo_window_destruction(*run.demo->window);
    release_desktop_idle(run.desktop_inhibit);
}

// X keeps a switched mode and DPMS off after the process ends, and the session bus an inhibit
// whose connection is still open: every exit puts them back, exit(-1) deep in the scene too.
void undo_at_exit() {
    if (run.demo->undo_at_exit != nullptr) {
        run.demo->undo_at_exit();
    }
    release_desktop_idle(run.desktop_inhibit);
}

// The scene's request to destroy a window the saver does not own ends the run instead.
void end_saver_run() {
    run.saver_end_requested = 1;
}

int drain_saver(void*) {
    return (run.saver->frames.drain(nullptr) != 0 || run.saver_end_requested != 0) ? 1 : 0;
}

void report_scene_failure() {
    const std::string line = std::string("the scene could not be set up from the data in \"") +
                             (datadir != nullptr ? datadir : ".") + "\"";
    linux_report(line.c_str());
}

}  // namespace

int run_linux_demo(const LinuxDemo& demo) {
    run.demo = &demo;
    run.services = {desktop_message_box, destroy_demo_window, demo.restore_display_mode,
                    demo.frames.swap_buffers};
    window_services = &run.services;
    if (demo.connect() == 0) {
        return 1;
    }
    std::atexit(undo_at_exit);
    if (fullscreen != 0) {
        prepare_fullscreen_mode(*demo.window);
    }
    catch_stop_signals();
    demo.make_window();
    run.desktop_inhibit = inhibit_desktop_idle("zelm", "Showing the Zelm demo");
    run_demo_window_creation(*demo.window);
    run_paced_loop(demo.frames.drain, 0, -1, demo.frames.frame);
    demo.disconnect();
    return 0;
}

int run_linux_saver(const LinuxSaver& saver, const LinuxRequest& request) {
    run.saver = &saver;
    run.services = {report_message_box, end_saver_run, nullptr, saver.frames.swap_buffers};
    window_services = &run.services;
    int wake_fd = -1;
    int code = saver.open(request, wake_fd);
    if (code < 0) {
        scene_setup();
        if (run.saver_end_requested != 0) {
            report_scene_failure();
            code = 1;
        } else {
            run_paced_loop(drain_saver, request.delay_us, wake_fd, saver.frames.frame);
            code = run.saver_end_requested != 0 ? 1 : 0;
        }
    }
    saver.close();
    return code;
}

}  // namespace zelm
