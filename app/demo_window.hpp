// The demo window's behaviour, written once for every shell: the full-screen preparation before
// the window exists, the creation steps once it does, and the destruction steps. The order, the
// messages and the exit codes are decided here; each shell supplies the few calls that differ as
// DemoWindowHooks, naming every entry; those marked optional may be null.
#pragma once

namespace zelm {

enum class DisplayModeTest { ok, bad_mode, failed };

struct DemoWindowHooks {
    // Full-screen preparation: find the 640x480 mode (1 when listed), then ask the display
    // whether it can take it without switching. Optional, both or neither: null where the
    // picture is scaled and the mode is always there.
    int (*find_display_mode)();
    DisplayModeTest (*test_display_mode)();

    // Creation steps.
    void (*hide_cursor)();          // optional
    void (*switch_display_mode)();  // to the found mode; the result is ignored
    void (*center_cursor)();        // at (window_width / 2, window_height / 2); optional
    void (*show_window)();
    int (*choose_pixel_format)();   // 0 when none can be chosen
    int (*format_needs_palette)();  // of the chosen format; optional: null where none does
    int (*set_pixel_format)();      // 0 when it cannot be set
    int (*create_context)();        // 0 when none is created
    int (*make_context_current)();  // 0 on failure

    // Destruction steps.
    void (*show_cursor)();  // optional
    void (*hide_window)();
    void (*release_context)();  // make no context current
    void (*delete_context)();   // only called when one was created
    void (*release_window)();   // give back the drawing surface (and, on X, the window)
    void (*post_quit)();
};

// 1 between the creation steps' start and the destruction steps' end.
extern int demo_window_exists;
// 1 while a context created by the creation steps has not been deleted.
extern int demo_context_created;

// Finds and tests the full-screen mode: 0 when it can be had, else the exit code the process
// ends with (-1) after saying why. Call only with fullscreen on, before the window is created.
int prepare_fullscreen_mode(const DemoWindowHooks& hooks);

// The creation steps: cursor, display mode, window shown, pixel format, context, scene setup.
// A failed step destroys the window (platform_end_run) and the sequence goes on,
// except that a destroyed window gets no context: the two context steps are skipped then (they
// could only fail, adding a message the failure does not call for). Returns 0, or the exit code
// the process ends with, without a further step: 1 when no pixel format can be chosen or set
// (after its message), scene_memory_exit_code when the scene's setup ran out of memory.
int run_demo_window_creation(const DemoWindowHooks& hooks);

// The destruction steps; the quit message is posted last. Only the first call does anything.
void run_demo_window_destruction(const DemoWindowHooks& hooks);

// The pixel-format step on its own: 1 when set, 0 when the chosen format needs a
// palette, -1 when none can be chosen or set (after its message).
int setup_pixel_format(const DemoWindowHooks& hooks);

}  // namespace zelm
