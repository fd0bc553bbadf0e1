// The program's entry: reads the settings, then previews (exit at once), runs the
// configuration dialog, or runs the demo in a 640x480 pop-up window until input ends it.
#include <cstdlib>

#include "app/main_loop.hpp"
#include "app/run_mode.hpp"
#include "app/win32/win32_shell.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "settings/win32/dialog_win32.hpp"
#include "settings/win32/registry_win32.hpp"

namespace zelm {

HINSTANCE app_instance = nullptr;
DEVMODEA display_mode{};
int force_dialog = 0;

namespace {

constexpr UINT error_box = MB_OK | MB_ICONERROR;
constexpr int dialog_resource = 101;
constexpr int icon_resource = 102;

// Ends the process with exit code -1 after telling the user why.
[[noreturn]] void fail_before_window(const char* text) {
    win32_message_box(nullptr, text, "Error", error_box);
    std::exit(-1);
}

// The configuration dialog in a blocking loop without dialog keyboard handling; 0 when done.
int run_config_dialog(HINSTANCE instance) {
    config_dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(dialog_resource), nullptr,
                                       config_dialog_proc, 0);
    if (config_dialog == nullptr) {
        win32_message_box(nullptr, "Couldn't create dialog box", "Error", error_box);
        return 0;
    }
    MSG message;
    // GetMessageA answers -1 on an error, which must not keep the loop going.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// Registers "MyWin"; 0 on failure.
int register_demo_class() {
    WNDCLASSA demo_class{};
    demo_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
    demo_class.lpfnWndProc = demo_window_proc;
    demo_class.hInstance = app_instance;
    demo_class.hIcon = LoadIconA(app_instance, MAKEINTRESOURCEA(icon_resource));
    demo_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    demo_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    demo_class.lpszClassName = "MyWin";
    return RegisterClassA(&demo_class) != 0 ? 1 : 0;
}

// Finds 640x480 at 16 bits per pixel and asks whether the display can take it; exits with -1
// when it cannot.
void prepare_fullscreen_mode() {
    display_mode.dmSize = sizeof display_mode;
    int found = 0;
    for (DWORD index = 0;; ++index) {
        const BOOL listed = EnumDisplaySettingsA(nullptr, index, &display_mode);
        if (display_mode.dmBitsPerPel == 16 && display_mode.dmPelsWidth == 640 &&
            display_mode.dmPelsHeight == 480) {
            found = 1;
            break;
        }
        if (!listed) {
            break;
        }
    }
    if (!found) {
        fail_before_window("Didn't find good fullscreen mode");
    }
    display_mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG test = ChangeDisplaySettingsA(&display_mode, CDS_TEST);
    if (test == DISP_CHANGE_BADMODE) {
        fail_before_window("DISP_CHANGE_BADMODE");
    }
    if (test == DISP_CHANGE_FAILED) {
        fail_before_window("DISP_CHANGE_FAILED");
    }
}

struct Win32Loop {
    int exit_code;  // carried by the quit message
};

// Dispatches every pending message; 1 when the quit message was among them.
int drain_messages(void* context) {
    int quit = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = 1;
            static_cast<Win32Loop*>(context)->exit_code = static_cast<int>(message.wParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quit;
}

// Sleeps once after the quit message.
void sleep_ms(void*, unsigned milliseconds) {
    Sleep(milliseconds);
}

// One frame.
void draw(void*) {
    draw_frame();
}

// Demo mode: window class, display mode, the window and the frame loop. Returns the exit code.
int run_demo(HINSTANCE instance) {
    app_instance = instance;
    if (!register_demo_class()) {
        return 0;
    }
    if (fullscreen != 0) {
        prepare_fullscreen_mode();
    }
    const HWND window = CreateWindowExA(0, "MyWin", "Zelm", WS_POPUP, 0, 0, window_width,
                                        window_height, nullptr, nullptr, app_instance, nullptr);
    // A window destroyed by a failed creation step has already posted the quit message and
    // the loop ends on it; a window that never got as far as its creation steps has not.
    if (window == nullptr && demo_window == nullptr) {
        fail_before_window("Couldn't create window");
    }
    Win32Loop loop{0};
    run_main_loop(MainLoopShell{drain_messages, sleep_ms, draw, &loop});
    return loop.exit_code;
}

}  // namespace

}  // namespace zelm

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    using namespace zelm;
    SetEnvironmentVariableA("FX_GLIDE_NOSPLASH", "1");
    use_win32_registry();
    if (read_settings() == 0) {
        win32_message_box(nullptr, "Couldn't read configuration settings from registry.", "Warning",
                          MB_OK);
        force_dialog = 1;
    }
    switch (choose_run_mode(command_line, force_dialog)) {
        case RunMode::preview:
            std::exit(0);
        case RunMode::configure:
            return run_config_dialog(instance);
        case RunMode::demo:
            break;
    }
    return run_demo(instance);
}
