#include "app/linux/linux_shell.hpp"

#include "settings/fltk/fltk_message_box.hpp"

namespace zelm {

namespace {

void nothing() {}

const WindowServices no_window = {
    .message_box = desktop_message_box,
    .end_run = nothing,
    .restore_display_mode = nullptr,
    .swap_buffers = nothing,
};

}  // namespace

const WindowServices* window_services = &no_window;

// The box has no owner: FLTK's windows are not tied to the demo window.
void desktop_message_box(const char* text, const char* caption, MessageIcon icon) {
    fltk_message_box(text, caption, icon == MessageIcon::error);
}

void report_message_box(const char* text, const char*, MessageIcon) {
    linux_report(linux_messages::text, text);
}

}  // namespace zelm
