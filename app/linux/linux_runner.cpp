#include "app/linux/linux_runner.hpp"

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

// The scene's request to destroy a window the saver does not own ends the run instead.
void end_saver_run() {
    run.saver_end_requested = 1;
}

int drain_saver(void*) {
    return (run.saver->frames.drain(nullptr) != 0 || run.saver_end_requested != 0) ? 1 : 0;
}

void report_scene_failure() {
    linux_report(linux_messages::scene_not_set_up, datadir != nullptr ? datadir : ".");
}

// The window, its creation steps and the unpaced loop; the exit code, with the window destroyed
// however the run ended (X keeps a switched mode and DPMS off after the process ends).
int run_demo_window(const LinuxDemo& demo) {
    catch_stop_signals();
    demo.make_window();
    run.desktop_inhibit = inhibit_desktop_idle("zelm", "Showing the Zelm demo");
    int code = run_demo_window_creation(*demo.window);
    if (code == 0) {
        code = run_paced_loop(demo.frames.drain, 0, -1, demo.frames.frame);
    }
    destroy_demo_window();
    return code;
}

// The scene set up in the saver's surfaces, and its frames; the exit code.
int run_saver_scene(const LinuxSaver& saver, const LinuxRequest& request, int wake_fd) {
    if (scene_setup() == 0) {
        return scene_memory_exit_code;
    }
    if (run.saver_end_requested != 0) {
        report_scene_failure();
        return 1;
    }
    const int code = run_paced_loop(drain_saver, request.delay_us, wake_fd, saver.frames.frame);
    return code == 0 && run.saver_end_requested != 0 ? 1 : code;
}

}  // namespace

int run_linux_demo(const LinuxDemo& demo, void (*no_connection)()) {
    run.demo = &demo;
    run.services = {desktop_message_box, destroy_demo_window, demo.restore_display_mode,
                    demo.frames.swap_buffers};
    window_services = &run.services;
    if (demo.connect() == 0) {
        if (no_connection != nullptr) {
            no_connection();
        }
        return 1;
    }
    int code = fullscreen != 0 ? prepare_fullscreen_mode(*demo.window) : 0;
    if (code == 0) {
        code = run_demo_window(demo);
    }
    demo.disconnect();
    return code;
}

int run_linux_saver(const LinuxSaver& saver, const LinuxRequest& request) {
    run.saver = &saver;
    run.services = {report_message_box, end_saver_run, nullptr, saver.frames.swap_buffers};
    window_services = &run.services;
    int wake_fd = -1;
    int code = saver.open(request, wake_fd);
    if (code < 0) {
        code = run_saver_scene(saver, request, wake_fd);
    }
    saver.close();
    return code;
}

}  // namespace zelm
