#include "app/input_rules.hpp"
#include "app/main_loop.hpp"
#include "app/run_mode.hpp"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "settings/settings.hpp"

namespace zelm {

int frame_started = 0;
std::int32_t mouse_move_tolerance = 1;
int quit_requested = 0;

namespace {

bool starts_with_switch(const char* text, char letter) {
    return text != nullptr && text[0] == '/' && text[1] == letter;
}

}  // namespace

RunMode choose_run_mode(const char* command_line, int force_dialog) {
    if (starts_with_switch(command_line, 'p')) {
        return RunMode::preview;
    }
    if (starts_with_switch(command_line, 'c') || force_dialog) {
        return RunMode::configure;
    }
    return RunMode::demo;
}

int read_settings_or_warn() {
    if (read_settings() != 0) {
        return 0;
    }
    platform_message_box(messages::settings_unreadable, messages::caption_warning,
                         MessageIcon::none, MessageOwner::none);
    return 1;
}

InputAction demo_input(DemoInput input) {
    switch (input) {
        case DemoInput::activated:
            return InputAction::activated;
        case DemoInput::deactivated:
        case DemoInput::key_press:
        case DemoInput::button_press:
            return frame_started ? InputAction::end_demo : InputAction::swallow;
        case DemoInput::mouse_move:
            if (mouse_move_tolerance == 0) {
                return InputAction::end_demo;
            }
            mouse_move_tolerance -= 1;
            return InputAction::default_handling;
        case DemoInput::position_changing:
            mouse_move_tolerance += 1;
            return InputAction::default_handling;
    }
    return InputAction::default_handling;
}

void demo_creation_complete() {
    mouse_move_tolerance += 1;
}

void run_main_loop(const MainLoopShell& shell) {
    while (!quit_requested) {
        if (shell.drain_messages(shell.context)) {
            quit_requested = 1;
        }
        if (quit_requested) {
            shell.sleep_ms(shell.context, 50);
            continue;
        }
        frame_started = 1;
        shell.draw(shell.context);
    }
}

}  // namespace zelm
