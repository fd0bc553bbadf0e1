#include "app/run_mode.hpp"

#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "settings/settings.hpp"

namespace zelm {

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

}  // namespace zelm
