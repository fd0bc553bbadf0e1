// The run mode, chosen from the command-line text the screen-saver host passes.
#pragma once

namespace zelm {

enum class RunMode { preview, configure, demo };

// "/p" and "/c" are matched on the first two bytes, case-sensitively; a shorter text matches
// neither. Unreadable settings (force_dialog) bring up the dialog, except in preview.
RunMode choose_run_mode(const char* command_line, int force_dialog);

// Reads the settings; when one of them cannot be read, warns the user and returns 1: the
// dialog is forced.
int read_settings_or_warn();

}  // namespace zelm
