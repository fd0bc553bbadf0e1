// The program's entry: reads the settings, then previews (exit at once), runs the
// configuration dialog, or runs the demo in a 640x480 pop-up window until input ends it.
#include "app/command_line.hpp"
#include "app/demo_window.hpp"
#include "app/main_loop.hpp"
#include "app/run_mode.hpp"
#include "app/win32/win32_faults.hpp"
#include "app/win32/win32_shell.hpp"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "settings/win32/dialog_win32.hpp"
#include "settings/win32/registry_win32.hpp"

namespace zelm {

HINSTANCE app_instance = nullptr;
DEVMODEA display_mode{};
int force_dialog = 0;

namespace {

constexpr int dialog_resource = 101;
constexpr int icon_resource = 102;

// The configuration dialog in a blocking loop without dialog keyboard handling; 0 when done.
int run_config_dialog(HINSTANCE instance) {
    config_dialog = ZELM_FAULT("CreateDialogParamA", nullptr,
                               CreateDialogParamA(instance, MAKEINTRESOURCEA(dialog_resource),
                                                  nullptr, config_dialog_proc, 0));
    if (config_dialog == nullptr) {
        platform_message_box(messages::dialog_not_created, messages::caption_error,
                             MessageIcon::error, MessageOwner::none);
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
    return ZELM_FAULT("RegisterClassA", 0, RegisterClassA(&demo_class)) != 0 ? 1 : 0;
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

// One frame; 0 when it ran out of memory.
int draw(void*) {
    if (draw_frame() == 0) {
        return 0;
    }
    ZELM_PROBE_AFTER_FIRST_FRAME();
    return 1;
}

// Demo mode: window class, display mode, the window and the frame loop. Returns the exit code.
int run_demo(HINSTANCE instance) {
    app_instance = instance;
    if (!register_demo_class()) {
        return 0;
    }
    if (fullscreen != 0) {
        const int code = prepare_fullscreen_mode(win32_demo_hooks);
        if (code != 0) {
            return code;
        }
    }
    const HWND window =
        ZELM_FAULT("CreateWindowExA", nullptr,
                   CreateWindowExA(0, "MyWin", "Zelm", WS_POPUP, 0, 0, window_width, window_height,
                                   nullptr, nullptr, app_instance, nullptr));
    // A creation that ends the process leaves the display to Windows, as an exit would.
    if (demo_creation_exit_code != 0) {
        return demo_creation_exit_code;
    }
    // A window destroyed by a failed creation step has already posted the quit message and
    // the loop ends on it; a window that never got as far as its creation steps has not.
    if (window == nullptr && demo_window == nullptr) {
        platform_message_box(messages::window_not_created, messages::caption_error,
                             MessageIcon::error, MessageOwner::none);
        return -1;
    }
    ZELM_PROBE_AFTER_CREATION();
    Win32Loop loop{0};
    const int code = run_main_loop(MainLoopHooks{drain_messages, sleep_ms, draw, &loop});
    return code != 0 ? code : loop.exit_code;
}

}  // namespace

}  // namespace zelm

// The C runtime's lpCmdLine cuts the program name by rules of its own (quotes toggle, bytes
// compared as signed); the text after the name is taken from the process command line instead.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace zelm;
    SetEnvironmentVariableA("FX_GLIDE_NOSPLASH", "1");
    use_win32_registry();
    ZELM_INJECT_REGISTRY_FAULTS();
    force_dialog = read_settings_or_warn();
    switch (choose_run_mode(command_line_tail(GetCommandLineA()), force_dialog)) {
        case RunMode::preview:
            return 0;
        case RunMode::configure:
            return run_config_dialog(instance);
        case RunMode::demo:
            break;
    }
    return run_demo(instance);
}
