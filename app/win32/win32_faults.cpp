// The test build's side of win32_faults.hpp: which faults ZELM_FAULT asks for, the extra debug
// lines, and the probes that drive the live demo window for the Wine tests.
#include "app/win32/win32_faults.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/input_rules.hpp"
#include "app/win32/win32_shell.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "settings/win32/registry_win32.hpp"

namespace zelm {

namespace {

// The message a probe is sending, and how often it reached DefWindowProcA.
UINT probed_message = 0;
int probed_default_calls = 0;
// Position-changing notifications the window has had, which each add to the tolerance.
int position_changes = 0;

SettingsRegistry real_registry{};

int refuse_key(void*) {
    return 0;
}

int refuse_value(void*, const char*, const char*) {
    return 0;
}

int refuse_machine_value(const char*, const char*) {
    return 0;
}

int set_value_except_datadir(void* context, const char* subkey, const char* text) {
    if (std::strcmp(subkey, "datadir") == 0) {
        return 0;
    }
    return real_registry.set_value(context, subkey, text);
}

void tracef(const char* format, auto... values) {
    char line[256];
    std::snprintf(line, sizeof line, format, values...);
    OutputDebugStringA(line);
}

// Sends one message to the demo window and reports its result, whether it got default
// processing, and whether the window is gone after it.
void probe(const char* name, UINT message, WPARAM wparam, LPARAM lparam) {
    probed_message = message;
    probed_default_calls = 0;
    const LRESULT result = SendMessageA(demo_window, message, wparam, lparam);
    probed_message = 0;
    const char* state = IsWindow(demo_window) ? "" : ", window destroyed";
    if (message == WM_PAINT && IsWindow(demo_window)) {
        state = GetUpdateRect(demo_window, nullptr, FALSE) ? ", still invalid" : ", validated";
    }
    tracef("probe %s: %ld%s%s", name, static_cast<long>(result),
           probed_default_calls != 0 ? ", default processing" : "", state);
}

void probe_position_changing() {
    WINDOWPOS position{
        demo_window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE};
    probe("WM_WINDOWPOSCHANGING", WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
}

// The rows of the message table that hold before the first frame, then mouse moves until one
// ends the demo.
void probe_new_window() {
    POINT cursor{};
    GetCursorPos(&cursor);
    CURSORINFO cursor_info{};
    cursor_info.cbSize = sizeof cursor_info;
    GetCursorInfo(&cursor_info);
    tracef("cursor at %ld,%ld, %s", static_cast<long>(cursor.x), static_cast<long>(cursor.y),
           (cursor_info.flags & CURSOR_SHOWING) != 0 ? "shown" : "hidden");
    char nosplash[16] = "(unset)";
    GetEnvironmentVariableA("FX_GLIDE_NOSPLASH", nosplash, sizeof nosplash);
    tracef("FX_GLIDE_NOSPLASH=%s", nosplash);

    probe("WM_ACTIVATE active", WM_ACTIVATE, WA_ACTIVE, 0);
    probe("WM_ACTIVATE inactive", WM_ACTIVATE, WA_INACTIVE, 0);
    probe("WM_KEYDOWN", WM_KEYDOWN, VK_SPACE, 1);
    probe("WM_LBUTTONDOWN", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    probe("WM_RBUTTONDOWN", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    probe("WM_MBUTTONDOWN", WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(10, 10));
    probe("WM_KEYUP", WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    probe("WM_LBUTTONUP", WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    probe("WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    probe("WM_SYSCOMMAND SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    probe("WM_SYSCOMMAND SC_ARRANGE", WM_SYSCOMMAND, SC_ARRANGE, 0);
    probe("WM_SETCURSOR", WM_SETCURSOR, reinterpret_cast<WPARAM>(demo_window),
          MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    probe("WM_USER", WM_USER, 0, 0);

    // Painting before the scene is ready, as during the creation steps, then after.
    const int ready = scene_ready;
    scene_ready = 0;
    InvalidateRect(demo_window, nullptr, FALSE);
    probe("WM_PAINT scene not ready", WM_PAINT, 0, 0);
    scene_ready = ready;
    probe("WM_PAINT scene ready", WM_PAINT, 0, 0);

    tracef("tolerance %d after %d position changes", static_cast<int>(mouse_move_tolerance),
           position_changes);
    probe_position_changing();
    tracef("tolerance %d", static_cast<int>(mouse_move_tolerance));
    while (IsWindow(demo_window)) {
        probe("WM_MOUSEMOVE", WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    }
}

// Input after the first frame: activation does nothing, then the chosen input ends the demo.
void probe_running_window(const char* input) {
    probe("WM_ACTIVATE active", WM_ACTIVATE, WA_ACTIVE, 0);
    if (std::strcmp(input, "key") == 0) {
        probe("WM_KEYDOWN", WM_KEYDOWN, VK_SPACE, 1);
    } else if (std::strcmp(input, "lbutton") == 0) {
        probe("WM_LBUTTONDOWN", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    } else if (std::strcmp(input, "rbutton") == 0) {
        probe("WM_RBUTTONDOWN", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    } else if (std::strcmp(input, "mbutton") == 0) {
        probe("WM_MBUTTONDOWN", WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(10, 10));
    } else if (std::strcmp(input, "deactivate") == 0) {
        probe("WM_ACTIVATE inactive", WM_ACTIVATE, WA_INACTIVE, 0);
    }
}

}  // namespace

int fault_injected(const char* name) {
    const char* list = std::getenv("ZELM_FAULT");
    const std::size_t length = std::strlen(name);
    for (const char* at = list; at != nullptr && *at != '\0';) {
        const char* end = std::strchr(at, ',');
        const std::size_t item =
            end != nullptr ? static_cast<std::size_t>(end - at) : std::strlen(at);
        if (item == length && std::strncmp(at, name, length) == 0) {
            return 1;
        }
        at = end != nullptr ? end + 1 : nullptr;
    }
    return 0;
}

void fault_trace(const char* text) {
    OutputDebugStringA(text);
}

void describe_message_box(char* line, int size, HWND owner, UINT flags) {
    const UINT icon = flags & MB_ICONMASK;
    const std::size_t used = std::strlen(line);
    std::snprintf(line + used, static_cast<std::size_t>(size) - used, " [%s, %s, %s]",
                  (flags & MB_TYPEMASK) == MB_OK ? "OK" : "other buttons",
                  icon == 0              ? "no icon"
                  : icon == MB_ICONERROR ? "error icon"
                                         : "other icon",
                  owner == nullptr                                 ? "no owner"
                  : owner == demo_window && demo_window != nullptr ? "owned by the demo window"
                                                                   : "other owner");
}

LRESULT probed_default_processing(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == probed_message && probed_message != 0) {
        ++probed_default_calls;
    }
    if (message == WM_WINDOWPOSCHANGING) {
        ++position_changes;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void inject_registry_faults() {
    real_registry = settings_registry;
    if (fault_injected("RegOpenKeyA")) {
        settings_registry.open_key = refuse_key;
    }
    if (fault_injected("RegCreateKeyA")) {
        settings_registry.create_key = refuse_key;
    }
    if (fault_injected("RegSetValueA/datadir")) {
        settings_registry.set_value = set_value_except_datadir;
    }
    if (fault_injected("RegSetValueA")) {
        settings_registry.set_value = refuse_value;
    }
    if (fault_injected("RegSetValueA/HKLM")) {
        machine_set_value = refuse_machine_value;
    }
}

void probe_after_creation() {
    const char* probe = std::getenv("ZELM_PROBE");
    if (probe != nullptr && std::strcmp(probe, "creation") == 0) {
        probe_new_window();
    }
}

void probe_after_first_frame() {
    static int probed = 0;
    const char* probe = std::getenv("ZELM_PROBE");
    if (probed == 0 && probe != nullptr && std::strncmp(probe, "frame:", 6) == 0) {
        probed = 1;
        probe_running_window(probe + 6);
    }
}

}  // namespace zelm
