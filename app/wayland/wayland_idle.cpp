// The idle watcher (zelm --idle SECONDS): stays in the user's session and, after SECONDS without
// input, runs the saver as a child process, "zelm --overlay" with the same saver options, so
// that it is exactly what an idle daemon would start; once input has ended it, the watcher
// waits for the next idle period. Idle comes from ext-idle-notify where the compositor offers
// it (KWin, newer wlroots compositors), else from KDE's older idle protocol (sway 1.7), else
// from GNOME's idle monitor on the session bus: the compositor's own word first, the bus (a
// process of its own, which may hang) only where the compositor tells nothing. The protocols
// count no idle while a program holds it off; on GNOME the session manager is asked. SIGTERM,
// SIGINT or SIGHUP end the saver and the watcher with 0.
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/linux/gnome_idle.hpp"
#include "app/linux/linux_shell.hpp"
#include "app/linux/stop_signals.hpp"
#include "app/wayland/session_lock.hpp"
#include "app/wayland/wayland_client.hpp"
#include "app/wayland/wayland_shell.hpp"
#include "ext-idle-notify-v1-client-protocol.h"
#include "org-kde-kwin-idle-client-protocol.h"

namespace zelm {

namespace {

constexpr int inhibit_check_ms = 2000;  // how often GNOME is asked again while idle is held off
constexpr int saver_grace_ms = 3000;    // a saver told to end that is still there is killed

enum class IdleSource { ext_idle_notify, gnome, kde_idle };

struct IdleWatcher {
    IdleSource source;
    ext_idle_notification_v1* notification;
    org_kde_kwin_idle_timeout* kde_timeout;
    GnomeIdleMonitor gnome;
    int idled;             // the source said idle since the last look
    int inhibited_idle;    // GNOME: idle came while held off; asked again until input or release
    pid_t saver;           // the running saver, or 0
    int saver_descriptor;  // its pidfd, or -1
};

IdleWatcher watcher{};

void on_idled(void*, ext_idle_notification_v1*) {
    watcher.idled = 1;
}

void on_resumed(void*, ext_idle_notification_v1*) {}

const ext_idle_notification_v1_listener notification_listener = {.idled = on_idled,
                                                                 .resumed = on_resumed};

void on_kde_idle(void*, org_kde_kwin_idle_timeout*) {
    watcher.idled = 1;
}

void on_kde_resumed(void*, org_kde_kwin_idle_timeout*) {}

const org_kde_kwin_idle_timeout_listener kde_listener = {.idle = on_kde_idle,
                                                         .resumed = on_kde_resumed};

// The first idle source in the order of preference; false, after saying why, when there is none
// (or a stop signal came meanwhile).
bool open_idle_source(long seconds) {
    const std::uint32_t timeout_ms = static_cast<std::uint32_t>(seconds) * 1000u;
    if (wayland.idle_notifier != nullptr && wayland.seat != nullptr) {
        watcher.source = IdleSource::ext_idle_notify;
        watcher.notification = ext_idle_notifier_v1_get_idle_notification(wayland.idle_notifier,
                                                                          timeout_ms, wayland.seat);
        ext_idle_notification_v1_add_listener(watcher.notification, &notification_listener,
                                              nullptr);
        return true;
    }
    if (wayland.kde_idle != nullptr && wayland.seat != nullptr) {
        watcher.source = IdleSource::kde_idle;
        watcher.kde_timeout =
            org_kde_kwin_idle_get_idle_timeout(wayland.kde_idle, wayland.seat, timeout_ms);
        org_kde_kwin_idle_timeout_add_listener(watcher.kde_timeout, &kde_listener, nullptr);
        return true;
    }
    if (gnome_idle_open(watcher.gnome, timeout_ms)) {
        watcher.source = IdleSource::gnome;
        return true;
    }
    if (stop_signal != 0) {
        return false;
    }
    if (watcher.gnome.unanswered != 0) {
        linux_report(linux_messages::bus_silent_for_idle);
        return false;
    }
    linux_report(linux_messages::no_idle_source);
    return false;
}

void close_idle_source() {
    if (watcher.notification != nullptr) {
        ext_idle_notification_v1_destroy(watcher.notification);
    }
    if (watcher.kde_timeout != nullptr) {
        org_kde_kwin_idle_timeout_release(watcher.kde_timeout);
    }
    gnome_idle_close(watcher.gnome);
}

// Starts "zelm --overlay OPTIONS" from this program's own file. The saver gets the stop
// signals unblocked, and SIGTERM should the watcher die first.
void start_saver(const std::vector<std::string>& arguments, const sigset_t& unblocked) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(0);
        }
        sigprocmask(SIG_SETMASK, &unblocked, nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    if (child < 0) {
        linux_report(linux_messages::saver_not_started);
        return;
    }
    watcher.saver = child;
    // Debian 12's <sys/pidfd.h> cannot be used from C++ (no extern "C"): the system call itself.
    watcher.saver_descriptor = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
}

// Collects the saver once it has ended (without waiting when wait_ms is 0, without end when it
// is -1); true when it has. Without a pidfd only the endless wait waits.
bool saver_ended(int wait_ms) {
    if (watcher.saver == 0) {
        return true;
    }
    pollfd descriptor{watcher.saver_descriptor, POLLIN, 0};
    if (watcher.saver_descriptor >= 0 && poll(&descriptor, 1, wait_ms) <= 0) {
        return false;
    }
    const bool wait = watcher.saver_descriptor >= 0 || wait_ms < 0;
    int status = 0;
    if (waitpid(watcher.saver, &status, wait ? 0 : WNOHANG) == 0) {
        return false;
    }
    if (watcher.saver_descriptor >= 0) {
        close(watcher.saver_descriptor);
    }
    watcher.saver = 0;
    watcher.saver_descriptor = -1;
    return true;
}

void end_saver() {
    if (watcher.saver == 0) {
        return;
    }
    kill(watcher.saver, SIGTERM);
    if (!saver_ended(saver_grace_ms)) {
        kill(watcher.saver, SIGKILL);
        saver_ended(-1);
    }
}

// Reads every source without waiting; false when the compositor or the bus went away.
bool read_sources() {
    if (!wayland_dispatch()) {
        linux_report(linux_messages::compositor_lost);
        return false;
    }
    if (watcher.source != IdleSource::gnome) {
        return true;
    }
    GnomeIdleEvents events{};
    if (!gnome_idle_read(watcher.gnome, events)) {
        linux_report(linux_messages::session_bus_lost);
        return false;
    }
    watcher.idled |= events.idle;
    if (events.active != 0) {
        watcher.inhibited_idle = 0;
    }
    return true;
}

// GNOME counts idle time whatever is held off: its session manager knows. While it holds idle
// off the saver waits, until input (idle starts over) or the release.
bool may_start_saver() {
    if (watcher.source != IdleSource::gnome) {
        return true;
    }
    const bool answered_before = watcher.gnome.unanswered == 0;
    if (gnome_idle_inhibited(watcher.gnome)) {
        // A bus that stops answering is asked again until it answers.
        if (watcher.gnome.unanswered != 0 && answered_before) {
            linux_report(linux_messages::bus_silent_for_saver);
        }
        watcher.inhibited_idle = 1;
        gnome_idle_watch_for_input(watcher.gnome);
        return false;
    }
    watcher.inhibited_idle = 0;
    return true;
}

// Until a stop signal or a lost connection: the saver on every idle period.
int watch(const std::vector<std::string>& saver_arguments, const sigset_t& unblocked) {
    for (;;) {
        if (!read_sources()) {
            return 1;
        }
        saver_ended(0);
        if (stop_signal != 0) {
            return 0;
        }
        const bool due = watcher.idled != 0 || watcher.inhibited_idle != 0;
        watcher.idled = 0;
        if (due && watcher.saver == 0 && may_start_saver()) {
            start_saver(saver_arguments, unblocked);
        }
        wl_display_flush(wayland.display);
        std::vector<pollfd> descriptors{{wl_display_get_fd(wayland.display), POLLIN, 0}};
        if (watcher.source == IdleSource::gnome) {
            descriptors.push_back({gnome_idle_descriptor(watcher.gnome), POLLIN, 0});
        }
        if (watcher.saver_descriptor >= 0) {
            descriptors.push_back({watcher.saver_descriptor, POLLIN, 0});
        }
        const timespec recheck{inhibit_check_ms / 1000, 0};
        const timespec now{0, 0};
        const timespec* timeout = watcher.inhibited_idle != 0 ? &recheck : nullptr;
        if (watcher.source == IdleSource::gnome && gnome_idle_queued(watcher.gnome)) {
            timeout = &now;
        }
        // The stop signals are blocked everywhere but here, so none slips in before the wait.
        if (ppoll(descriptors.data(), descriptors.size(), timeout, &unblocked) < 0 &&
            errno != EINTR) {
            linux_report(linux_messages::idle_wait_failed);
            return 1;
        }
    }
}

}  // namespace

int wayland_run_idle(const LinuxRequest& request) {
    catch_stop_signals();
    const sigset_t stop = stop_signal_set();
    sigset_t unblocked;
    sigprocmask(SIG_BLOCK, &stop, &unblocked);
    const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
    if (runtime_dir == nullptr || runtime_dir[0] == '\0') {
        linux_report(linux_messages::no_runtime_dir);
        return 1;
    }
    if (!wayland_connect()) {
        linux_report(linux_messages::no_compositor);
        return 1;
    }
    // One watcher to a session: an autostarted one and one started by hand would show two savers.
    int lock = -1;
    if (!wayland_lock_session(runtime_dir, "idle", lock)) {
        linux_report(linux_messages::another_watcher);
        wayland_disconnect();
        return 1;
    }
    watcher = IdleWatcher{};
    watcher.saver_descriptor = -1;
    int code = 1;
    if (open_idle_source(request.idle_seconds)) {
        std::vector<std::string> saver_arguments{"zelm", "--overlay"};
        for (const std::string& option : saver_options(request)) {
            saver_arguments.push_back(option);
        }
        code = watch(saver_arguments, unblocked);
        end_saver();
        close_idle_source();
    } else if (stop_signal != 0) {
        code = 0;
    }
    wayland_disconnect();
    if (lock >= 0) {
        close(lock);
    }
    return code;
}

}  // namespace zelm
