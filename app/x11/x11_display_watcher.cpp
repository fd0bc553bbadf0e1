#include "app/x11/x11_display_watcher.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>

namespace zelm {

namespace {

constexpr std::size_t max_outputs = 64;  // outputs one CRTC shows; far above any real setup

// What the demo has changed, as sent to the watcher: one datagram per report.
struct ChangeReport {
    std::int32_t mode_switched;
    std::int32_t dpms_disabled;
    RRCrtc crtc;
    RRMode saved_mode;
    std::int32_t saved_x, saved_y;
    Rotation saved_rotation;
    Window holder;
    std::uint32_t output_count;
    RROutput outputs[max_outputs];
};

pid_t watcher_pid = 0;
int watcher_socket = -1;  // the demo's end

ChangeReport report_of(const X11DisplayMode& mode, const X11BlankingHold& hold) {
    ChangeReport report{};
    report.mode_switched = mode.switched;
    report.dpms_disabled = hold.dpms_disabled;
    report.crtc = mode.crtc;
    report.saved_mode = mode.saved.mode;
    report.saved_x = mode.saved.x;
    report.saved_y = mode.saved.y;
    report.saved_rotation = mode.saved.rotation;
    report.holder = mode.holder;
    report.output_count =
        static_cast<std::uint32_t>(std::min(mode.saved.outputs.size(), max_outputs));
    std::copy_n(mode.saved.outputs.begin(), report.output_count, report.outputs);
    return report;
}

int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

int end_quietly(Display*) {
    _exit(0);
}

// Puts back what the report names, over the watcher's own connection.
void put_back(Display* display, const ChangeReport& report) {
    if (report.mode_switched != 0) {
        fullscreen_crtc = X11DisplayMode{};
        fullscreen_crtc.switched = 1;
        fullscreen_crtc.crtc = report.crtc;
        fullscreen_crtc.holder = report.holder;
        fullscreen_crtc.saved = {
            report.saved_mode, report.saved_x, report.saved_y, report.saved_rotation,
            std::vector<RROutput>(report.outputs, report.outputs + report.output_count)};
        x11_restore_display_mode(display);
    }
    X11BlankingHold hold{0, report.dpms_disabled};
    release_x11_blanking(display, hold);
    XSync(display, False);
}

// The watcher's life: keep the latest report until the demo's end closes, then act on it. It
// holds no descriptor of the demo's but its socket, so that the demo's X and D-Bus connections
// end with the demo; and it leaves the demo's process group, whose signals are meant for the
// demo.
[[noreturn]] void run_watcher(int demo_end, const char* display_name) {
    dup2(demo_end, STDIN_FILENO);
    close_range(STDERR_FILENO + 1, ~0U, 0);
    setsid();
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
    Display* display = XOpenDisplay(display_name);
    if (display == nullptr) {
        _exit(1);
    }
    XSetErrorHandler(ignore_x_error);
    XSetIOErrorHandler(end_quietly);
    ChangeReport latest{};
    for (;;) {
        ChangeReport report{};
        const ssize_t n = recv(STDIN_FILENO, &report, sizeof report, 0);
        if (n == static_cast<ssize_t>(sizeof report)) {
            latest = report;
        } else if (n == 0 || (n < 0 && errno != EINTR)) {
            break;
        }
    }
    put_back(display, latest);
    _exit(0);
}

bool start_watcher(Display* display) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        run_watcher(ends[1], DisplayString(display));
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return false;
    }
    watcher_pid = pid;
    watcher_socket = ends[0];
    return true;
}

void send_report(const X11DisplayMode& mode, const X11BlankingHold& hold) {
    const ChangeReport report = report_of(mode, hold);
    while (send(watcher_socket, &report, sizeof report, MSG_NOSIGNAL) < 0 && errno == EINTR) {
    }
}

}  // namespace

void watch_display_changes(Display* display, const X11DisplayMode& mode,
                           const X11BlankingHold& hold) {
    if (watcher_socket < 0 &&
        ((mode.switched == 0 && hold.dpms_disabled == 0) || !start_watcher(display))) {
        return;
    }
    send_report(mode, hold);
}

void keep_display_watch(Display* display, const X11DisplayMode& mode, const X11BlankingHold& hold) {
    // The watcher never writes: its end is readable only once it has closed.
    pollfd watcher_end{watcher_socket, POLLIN, 0};
    if (watcher_socket < 0 || poll(&watcher_end, 1, 0) <= 0) {
        return;
    }
    close(watcher_socket);
    watcher_socket = -1;
    int status = 0;
    while (waitpid(watcher_pid, &status, 0) < 0 && errno == EINTR) {
    }
    watcher_pid = 0;
    // One that ended by itself (no X connection of its own) would end again.
    if (WIFSIGNALED(status)) {
        watch_display_changes(display, mode, hold);
    }
}

void end_display_watch(const X11DisplayMode& mode, const X11BlankingHold& hold) {
    if (watcher_socket < 0) {
        return;
    }
    send_report(mode, hold);
    close(watcher_socket);
    watcher_socket = -1;
    while (waitpid(watcher_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    watcher_pid = 0;
}

}  // namespace zelm
