// The Win32 shell's process-wide state and entry points: the demo window with its device and
// OpenGL contexts, the full-screen display mode, and the message box every failure goes through.
#pragma once

#include <windows.h>

namespace zelm {

extern HINSTANCE app_instance;  // stored on the demo path, before the class is registered
extern DEVMODEA display_mode;   // the 640x480x16 mode found for full screen
extern int force_dialog;        // settings unreadable: run the dialog instead of the demo

extern HWND demo_window;
extern HDC demo_dc;
extern HGLRC gl_context;  // null when creation failed

// The demo window's procedure: creation, input that ends the demo, painting, destruction.
LRESULT CALLBACK demo_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Sets the 16-bit double-buffered RGBA format on dc. 1 when set, 0 when the chosen format
// needs a palette; ends the process with exit code 1 when none can be chosen or set.
int setup_pixel_format(HDC dc);

// Reports "Caption: text" to the debugger output, then shows the box. flags: MB_OK plus the icon.
void win32_message_box(HWND owner, const char* text, const char* caption, UINT flags);

}  // namespace zelm
