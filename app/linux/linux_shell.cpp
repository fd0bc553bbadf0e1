#include "app/linux/linux_shell.hpp"

#include <cstdio>

namespace zelm {

volatile std::sig_atomic_t stop_signal = 0;

namespace {

void note_stop_signal(int) {
    stop_signal = 1;
}

}  // namespace

void linux_report(const char* text) {
    std::fprintf(stderr, "zelm: %s\n", text);
}

void report_message_box(const char* text, const char*, MessageIcon) {
    linux_report(text);
}

void catch_stop_signals() {
    struct sigaction action {};
    action.sa_handler = note_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace zelm
