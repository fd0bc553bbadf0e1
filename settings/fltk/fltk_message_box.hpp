// Message boxes for the Linux shell: an FLTK window titled with the caption, showing the text
// with an error sign or none and one OK button, waiting until it is dismissed.
//
// Every message is first written to stderr as "Caption: text". With ZELM_NO_DIALOGS=1 in the
// environment, or when no X display can be opened, that line is all there is; the program then
// goes on as if the box had been dismissed (for tests and headless runs).
#pragma once

namespace zelm {

void fltk_message_box(const char* text, const char* caption, bool error_icon);

// Connects FLTK to the X display named by $DISPLAY; false when there is none. FLTK itself
// would end the process instead.
bool fltk_open_display();

}  // namespace zelm
