// The demo window: its creation (display mode, cursor, pixel format, OpenGL context, scene
// setup), the input that ends the demo, painting that stays out of the frame loop's way, and
// destruction, which undoes the creation and posts the quit message.
#include <cstdlib>

#include "app/input_rules.hpp"
#include "platform/platform.hpp"
#include "app/win32/win32_shell.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

namespace zelm {

HWND demo_window = nullptr;
HDC demo_dc = nullptr;
HGLRC gl_context = nullptr;

namespace {

constexpr UINT error_box = MB_OK | MB_ICONERROR;

// Set once the window's destruction has begun. DestroyWindow first hides the window, which
// deactivates it, which counts as input that ends the demo: destroying it again from there
// recurses (under Wine without end).
int demo_window_destroy_started = 0;

// Puts back the registry's display mode before a failure is shown in full screen.
void restore_display_if_fullscreen() {
    if (fullscreen != 0) {
        platform_restore_display_mode();
    }
}

// WM_CREATE. A failed step destroys the window (which posts the quit message) and the steps
// after it still run: OpenGL calls without a current context do nothing on Windows.
void demo_window_create(HWND window) {
    demo_window = window;
    demo_dc = GetDC(window);
    ShowCursor(FALSE);
    if (fullscreen != 0) {
        ChangeDisplaySettingsA(&display_mode, CDS_FULLSCREEN);
    } else {
        SetCursorPos(window_width / 2, window_height / 2);
    }
    ShowWindow(window, SW_SHOW);
    if (setup_pixel_format(demo_dc) == 0) {
        win32_message_box(nullptr, "Couldn't setup pixelformat", "Error:", error_box);
        platform_destroy_demo_window();
    }
    gl_context = wglCreateContext(demo_dc);
    if (gl_context == nullptr) {
        restore_display_if_fullscreen();
        win32_message_box(nullptr,
                          "Couldn't create gl context\nClose display properties?\n"
                          "Try unsetting fullscreen?",
                          "Error:", error_box);
        platform_destroy_demo_window();
    }
    if (!wglMakeCurrent(demo_dc, gl_context)) {
        restore_display_if_fullscreen();
        win32_message_box(nullptr, "Couldn't wglMakeCurrent()", "Error:", error_box);
        platform_destroy_demo_window();
    }
    scene_setup();
    demo_creation_complete();
    scene_ready = 1;
}

// WM_DESTROY: undo the creation; the textures and buffers live until the process ends.
void demo_window_destroy() {
    ShowCursor(TRUE);
    restore_display_if_fullscreen();
    ShowWindow(demo_window, SW_HIDE);
    wglMakeCurrent(nullptr, nullptr);
    if (gl_context != nullptr) {
        wglDeleteContext(gl_context);
    }
    platform_end_timer_period();
    ReleaseDC(demo_window, demo_dc);
    PostQuitMessage(0);
}

// The input rules' answer, as this message's result.
LRESULT apply_input(DemoInput input, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (demo_input(input)) {
        case InputAction::end_demo:
            platform_destroy_demo_window();
            return 0;
        case InputAction::swallow:
            return 0;
        case InputAction::activated:
            return 1;
        case InputAction::default_handling:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

void platform_destroy_demo_window() {
    if (!demo_window_destroy_started) {
        demo_window_destroy_started = 1;
        DestroyWindow(demo_window);
    }
}

int setup_pixel_format(HDC dc) {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = 40;
    request.nVersion = 1;
    request.dwFlags = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;

    const int format = ChoosePixelFormat(dc, &request);
    if (format == 0) {
        win32_message_box(WindowFromDC(dc), "ChoosePixelFormat failed.", "Error", error_box);
        std::exit(1);
    }
    PIXELFORMATDESCRIPTOR chosen{};
    DescribePixelFormat(dc, format, sizeof chosen, &chosen);
    if (chosen.dwFlags & PFD_NEED_PALETTE) {
        win32_message_box(nullptr, "Needs palette", "Error", MB_OK);
        return 0;
    }
    if (SetPixelFormat(dc, format, &request) != 1) {
        win32_message_box(WindowFromDC(dc), "SetPixelFormat failed.", "Error", error_box);
        std::exit(1);
    }
    return 1;
}

LRESULT CALLBACK demo_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            demo_window_create(window);
            return 0;
        case WM_DESTROY:
            demo_window_destroy();
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
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace zelm
