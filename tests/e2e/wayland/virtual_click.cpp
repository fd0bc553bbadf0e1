// Clicks on a wlroots compositor: a virtual pointer appears on the first seat, waits a second
// (a client binds its new wl_pointer meanwhile; earlier events would be lost to it), moves to
// the middle of the output of WIDTH x HEIGHT, and presses and releases the left button; with
// "move", it moves on by 10 pixels instead.
// usage: zelm_virtual_click WIDTH HEIGHT [move]; exit code 1 when the compositor has no virtual
// pointer.
#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

wl_seat* seat = nullptr;
zwlr_virtual_pointer_manager_v1* manager = nullptr;

void on_global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
               std::uint32_t) {
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr) {
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void on_global_remove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener registry_listener = {.global = on_global,
                                                .global_remove = on_global_remove};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && std::strcmp(argv[3], "move") == 0)) {
        std::fputs("usage: zelm_virtual_click WIDTH HEIGHT [move]\n", stderr);
        return 2;
    }
    const auto width = static_cast<std::uint32_t>(std::atoi(argv[1]));
    const auto height = static_cast<std::uint32_t>(std::atoi(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("virtual_click: no compositor\n", stderr);
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &registry_listener, nullptr);
    wl_display_roundtrip(display);
    if (manager == nullptr) {
        std::fputs("virtual_click: no virtual pointer here\n", stderr);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    sleep(1);
    zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, width / 2, height / 2, width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
    usleep(200000);
    if (argc == 4) {
        zwlr_virtual_pointer_v1_motion(pointer, 1, wl_fixed_from_int(10), wl_fixed_from_int(10));
        zwlr_virtual_pointer_v1_frame(pointer);
    } else {
        zwlr_virtual_pointer_v1_button(pointer, 1, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
        zwlr_virtual_pointer_v1_frame(pointer);
        zwlr_virtual_pointer_v1_button(pointer, 2, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer);
    }
    wl_display_roundtrip(display);
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_disconnect(display);
    return 0;
}
