#include "app/linux/stop_signals.hpp"

namespace zelm {

volatile std::sig_atomic_t stop_signal = 0;

namespace {

constexpr int stop_signals[] = {SIGINT, SIGTERM, SIGHUP};

void note_stop_signal(int) {
    stop_signal = 1;
}

void set_stop_action(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int signal : stop_signals) {
        sigaction(signal, &action, nullptr);
    }
}

}  // namespace

sigset_t stop_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : stop_signals) {
        sigaddset(&set, signal);
    }
    return set;
}

void unblock_stop_signals() {
    const sigset_t set = stop_signal_set();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void catch_stop_signals() {
    set_stop_action(note_stop_signal);
}

void default_stop_signals() {
    set_stop_action(SIG_DFL);
}

}  // namespace zelm
