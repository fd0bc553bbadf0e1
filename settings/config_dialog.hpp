// What the configuration dialog does with the settings, whatever toolkit draws it: it shows
// the four settings when it opens, and OK copies the controls back and stores them. Cancel and
// the close box store nothing; every way of closing ends the program with exit code 0.
#pragma once

namespace zelm {

// Control ids of dialog 101.
inline constexpr int dialog_id_ok = 1;
inline constexpr int dialog_id_cancel = 2;
inline constexpr int dialog_id_datadir = 1008;
inline constexpr int dialog_id_use_heightfield = 1009;
inline constexpr int dialog_id_use_alt_blend = 1010;
inline constexpr int dialog_id_fullscreen = 1011;

inline constexpr char dialog_caption[] = "SOLUNE Configuration Dialog";

// The check state a switch is shown with: checked for any value but 0.
int dialog_check_state(int setting);

// OK: keeps at most 999 characters of the edit text as datadir, sets the switches to 1 or 0
// from the check boxes, and stores all four with write_settings.
void config_dialog_confirm(const char* edit_text, int heightfield_checked, int alt_blend_checked,
                           int fullscreen_checked);

}  // namespace zelm
