#include "app/demo_window.hpp"

#include "app/input_rules.hpp"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

namespace zelm {

int demo_window_exists = 0;
int demo_context_created = 0;

namespace {

constexpr int no_fullscreen_exit_code = -1;
constexpr int no_pixel_format_exit_code = 1;

// Before the window exists there is nothing to undo: say why; the process ends.
int fail_before_window(const char* text) {
    platform_message_box(text, messages::caption_error, MessageIcon::error, MessageOwner::none);
    return no_fullscreen_exit_code;
}

// A failed creation step: the full-screen mode goes back first where the step says so, then
// the message, then the window is destroyed.
void fail_creation_step(const char* text, int restore_display) {
    if (restore_display != 0 && fullscreen != 0) {
        platform_restore_display_mode();
    }
    platform_message_box(text, messages::caption_error_colon, MessageIcon::error,
                         MessageOwner::none);
    platform_end_run();
}

void call_if_given(void (*step)()) {
    if (step != nullptr) {
        step();
    }
}

// A destroyed window can get no context, on X and on Windows alike.
bool skip_context_step() {
    return demo_window_exists == 0;
}

}  // namespace

int prepare_fullscreen_mode(const DemoWindowHooks& hooks) {
    if (hooks.find_display_mode == nullptr) {
        return 0;
    }
    if (hooks.find_display_mode() == 0) {
        return fail_before_window(messages::no_fullscreen_mode);
    }
    switch (hooks.test_display_mode()) {
        case DisplayModeTest::bad_mode:
            return fail_before_window(messages::mode_test_bad_mode);
        case DisplayModeTest::failed:
            return fail_before_window(messages::mode_test_failed);
        case DisplayModeTest::ok:
            break;
    }
    return 0;
}

int setup_pixel_format(const DemoWindowHooks& hooks) {
    if (hooks.choose_pixel_format() == 0) {
        platform_message_box(messages::pixel_format_not_chosen, messages::caption_error,
                             MessageIcon::error, MessageOwner::demo_window);
        return -1;
    }
    if (hooks.format_needs_palette != nullptr && hooks.format_needs_palette() != 0) {
        platform_message_box(messages::pixel_format_needs_palette, messages::caption_error,
                             MessageIcon::none, MessageOwner::none);
        return 0;
    }
    if (hooks.set_pixel_format() == 0) {
        platform_message_box(messages::pixel_format_not_set, messages::caption_error,
                             MessageIcon::error, MessageOwner::demo_window);
        return -1;
    }
    return 1;
}

int run_demo_window_creation(const DemoWindowHooks& hooks) {
    demo_window_exists = 1;
    demo_context_created = 0;
    call_if_given(hooks.hide_cursor);
    call_if_given(fullscreen != 0 ? hooks.switch_display_mode : hooks.center_cursor);
    hooks.show_window();
    const int format = setup_pixel_format(hooks);
    if (format < 0) {
        return no_pixel_format_exit_code;
    }
    if (format == 0) {
        fail_creation_step(messages::pixel_format_not_setup, 0);
    }
    if (!skip_context_step()) {
        demo_context_created = hooks.create_context() != 0 ? 1 : 0;
        if (demo_context_created == 0) {
            fail_creation_step(messages::context_not_created, 1);
        }
    }
    if (!skip_context_step() && hooks.make_context_current() == 0) {
        fail_creation_step(messages::context_not_current, 1);
    }
    // Without a current context the scene's GL calls do nothing; its messages still come.
    if (scene_setup() == 0) {
        return scene_memory_exit_code;
    }
    demo_creation_complete();
    scene_ready = 1;
    return 0;
}

void run_demo_window_destruction(const DemoWindowHooks& hooks) {
    if (demo_window_exists == 0) {
        return;
    }
    demo_window_exists = 0;
    call_if_given(hooks.show_cursor);
    if (fullscreen != 0) {
        platform_restore_display_mode();
    }
    hooks.hide_window();
    hooks.release_context();
    if (demo_context_created != 0) {
        hooks.delete_context();
        demo_context_created = 0;
    }
    platform_end_timer_period();
    hooks.release_window();
    hooks.post_quit();
}

}  // namespace zelm
