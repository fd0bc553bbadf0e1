// kill_on_randr COMMAND [ARGS...]: runs COMMAND and sends it SIGKILL the moment the X server
// reports that a CRTC changed (its mode switch), before the command can act on the reply.
// Exits with 0 once the command has ended killed, 1 when it ended before any change.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    Display* display = argc > 1 ? XOpenDisplay(nullptr) : nullptr;
    int event_base = 0;
    int error_base = 0;
    if (display == nullptr || !XRRQueryExtension(display, &event_base, &error_base)) {
        std::fprintf(stderr, "kill_on_randr: needs a command and an X display with RandR\n");
        return 2;
    }
    XRRSelectInput(display, DefaultRootWindow(display), RRCrtcChangeNotifyMask);
    XSync(display, False);
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (waitpid(child, &status, WNOHANG) == 0) {
        // Nothing else was selected: any event is a CRTC change.
        if (XPending(display) > 0 || (poll(&connection, 1, 50) > 0 && XPending(display) > 0)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return 0;
        }
    }
    std::fprintf(stderr, "kill_on_randr: the command ended before any RandR change\n");
    return 1;
}
