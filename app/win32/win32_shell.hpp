// The Win32 shell's process-wide state and entry points: the demo window with its device and
// OpenGL contexts, the full-screen display mode, and the message box every failure goes through.
#pragma once

#include <windows.h>

#include "app/demo_window.hpp"

namespace zelm {

extern HINSTANCE app_instance;  // stored on the demo path, before the class is registered
extern DEVMODEA display_mode;   // the 640x480x16 mode found for full screen
extern int force_dialog;        // settings unreadable: run the dialog instead of the demo

extern HWND demo_window;
extern HDC demo_dc;
extern HGLRC gl_context;  // null when creation failed
// Not 0 when the creation steps ended the run with that exit code (a pixel format, memory).
extern int demo_creation_exit_code;

// The demo window's procedure: creation, input that ends the demo, painting, destruction.
LRESULT CALLBACK demo_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The Win32 calls behind the demo window's portable creation and destruction steps.
extern const DemoWindowHooks win32_demo_hooks;

}  // namespace zelm
