// The configuration dialog's procedure for dialog resource 101.
#pragma once

#include <windows.h>

namespace zelm {

// The dialog while it exists.
extern HWND config_dialog;

// Shows the settings on WM_INITDIALOG; OK stores them, Cancel does not; every way of closing
// posts the quit message that ends the program.
INT_PTR CALLBACK config_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace zelm
