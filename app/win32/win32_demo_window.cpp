// The demo window on Win32: its window procedure, and the calls that the portable creation and
// destruction steps ask of Windows (cursor, display mode, pixel format, WGL context).
#include <cstdlib>

#include "app/demo_window.hpp"
#include "app/input_rules.hpp"
#include "app/win32/win32_faults.hpp"
#include "app/win32/win32_shell.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"

namespace zelm {

HWND demo_window = nullptr;
HDC demo_dc = nullptr;
HGLRC gl_context = nullptr;
int demo_creation_exit_code = 0;

namespace {

// Set once the window's destruction has begun. DestroyWindow first hides the window, which
// deactivates it, which counts as input that ends the demo: destroying it again from there
// recurses (under Wine without end).
int demo_window_destroy_started = 0;

// The pixel-format request: 16-bit double-buffered RGBA with a 16-bit depth buffer.
PIXELFORMATDESCRIPTOR pixel_format_request() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = 40;
    request.nVersion = 1;
    request.dwFlags = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

int chosen_pixel_format = 0;

int find_display_mode() {
    display_mode.dmSize = sizeof display_mode;
    for (DWORD index = 0;; ++index) {
        const BOOL listed = ZELM_FAULT("EnumDisplaySettingsA", FALSE,
                                       EnumDisplaySettingsA(nullptr, index, &display_mode));
        if (display_mode.dmBitsPerPel == 16 && display_mode.dmPelsWidth == 640 &&
            display_mode.dmPelsHeight == 480) {
            return 1;
        }
        if (!listed) {
            return 0;
        }
    }
}

DisplayModeTest test_display_mode() {
    display_mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ZELM_FAULT("DISP_CHANGE_BADMODE", DISP_CHANGE_BADMODE,
                                   ZELM_FAULT("DISP_CHANGE_FAILED", DISP_CHANGE_FAILED,
                                              ChangeDisplaySettingsA(&display_mode, CDS_TEST)));
    switch (result) {
        case DISP_CHANGE_BADMODE:
            return DisplayModeTest::bad_mode;
        case DISP_CHANGE_FAILED:
            return DisplayModeTest::failed;
        default:
            return DisplayModeTest::ok;
    }
}

void hide_cursor() {
    ShowCursor(FALSE);
}

void switch_display_mode() {
    ZELM_TRACE("display: switched to 640x480x16");
    ChangeDisplaySettingsA(&display_mode, CDS_FULLSCREEN);
}

void center_cursor() {
    SetCursorPos(window_width / 2, window_height / 2);
}

void show_window() {
    ShowWindow(demo_window, SW_SHOW);
}

int choose_pixel_format() {
    PIXELFORMATDESCRIPTOR request = pixel_format_request();
    chosen_pixel_format = ZELM_FAULT("ChoosePixelFormat", 0, ChoosePixelFormat(demo_dc, &request));
    return chosen_pixel_format;
}

int format_needs_palette() {
    PIXELFORMATDESCRIPTOR chosen{};
    DescribePixelFormat(demo_dc, chosen_pixel_format, sizeof chosen, &chosen);
    chosen.dwFlags |= ZELM_FAULT("DescribePixelFormat", PFD_NEED_PALETTE, 0);
    return (chosen.dwFlags & PFD_NEED_PALETTE) != 0 ? 1 : 0;
}

int set_pixel_format() {
    PIXELFORMATDESCRIPTOR request = pixel_format_request();
    const BOOL set =
        ZELM_FAULT("SetPixelFormat", FALSE, SetPixelFormat(demo_dc, chosen_pixel_format, &request));
    return set == 1 ? 1 : 0;
}

int create_context() {
    gl_context = ZELM_FAULT("wglCreateContext", nullptr, wglCreateContext(demo_dc));
    return gl_context != nullptr ? 1 : 0;
}

int make_context_current() {
    return ZELM_FAULT("wglMakeCurrent", FALSE, wglMakeCurrent(demo_dc, gl_context)) ? 1 : 0;
}

void show_cursor() {
    ShowCursor(TRUE);
}

void hide_window() {
    ShowWindow(demo_window, SW_HIDE);
}

void release_context() {
    wglMakeCurrent(nullptr, nullptr);
}

void delete_context() {
    wglDeleteContext(gl_context);
}

void release_window() {
    ReleaseDC(demo_window, demo_dc);
}

void post_quit() {
    PostQuitMessage(0);
}

// The input rules' answer, as this message's result.
LRESULT apply_input(DemoInput input, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (demo_input(input)) {
        case InputAction::end_demo:
            platform_end_run();
            return 0;
        case InputAction::swallow:
            return 0;
        case InputAction::activated:
            return 1;
        case InputAction::default_handling:
            break;
    }
    return ZELM_DEFAULT_PROCESSING(window, message, wparam, lparam);
}

}  // namespace

const DemoWindowHooks win32_demo_hooks = {
    find_display_mode, test_display_mode, hide_cursor,          switch_display_mode,
    center_cursor,     show_window,       choose_pixel_format,  format_needs_palette,
    set_pixel_format,  create_context,    make_context_current, show_cursor,
    hide_window,       release_context,   delete_context,       release_window,
    post_quit,
};

void platform_end_run() {
    if (!demo_window_destroy_started) {
        demo_window_destroy_started = 1;
        DestroyWindow(demo_window);
    }
}

LRESULT CALLBACK demo_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            demo_window = window;
            demo_dc = GetDC(window);
            demo_creation_exit_code = run_demo_window_creation(win32_demo_hooks);
            return 0;
        case WM_DESTROY:
            ZELM_TRACE("window destroyed");
            run_demo_window_destruction(win32_demo_hooks);
            return 0;
        case WM_ACTIVATE:
            return apply_input(wparam != 0 ? DemoInput::activated : DemoInput::deactivated, window,
                               message, wparam, lparam);
        case WM_KEYDOWN:
            return apply_input(DemoInput::key_press, window, message, wparam, lparam);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return apply_input(DemoInput::button_press, window, message, wparam, lparam);
        case WM_MOUSEMOVE:
            return apply_input(DemoInput::mouse_move, window, message, wparam, lparam);
        case WM_WINDOWPOSCHANGING:
            return apply_input(DemoInput::position_changing, window, message, wparam, lparam);
        case WM_PAINT:
            // Frames are drawn by the main loop; painting only validates the window.
            if (scene_ready != 0) {
                PAINTSTRUCT paint;
                BeginPaint(window, &paint);
                EndPaint(window, &paint);
            }
            return 0;
        case WM_SETCURSOR:
            return 0;
        case WM_SYSCOMMAND:
            if (wparam == SC_SCREENSAVE) {
                return 0;
            }
            break;
        default:
            break;
    }
    return ZELM_DEFAULT_PROCESSING(window, message, wparam, lparam);
}

}  // namespace zelm
