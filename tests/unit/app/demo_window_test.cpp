#include "app/demo_window.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/input_rules.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "tests/support/recording_gl.hpp"
#include "tests/support/test_platform.hpp"

namespace zelm {
namespace {

using testplatform::events;

// What each hook answers; every call is logged in the platform's event log, so the order of
// hooks, messages, restores and destruction can be read in one list.
struct Answers {
    int find = 1;
    DisplayModeTest test = DisplayModeTest::ok;
    int choose = 1, palette = 0, set = 1, context = 1, current = 1;
};
Answers answers;

void log(const char* name) {
    events.emplace_back(name);
}

DemoWindowHooks recording_hooks() {
    return DemoWindowHooks{
        [] { return answers.find; },
        [] { return answers.test; },
        [] { log("hide_cursor"); },
        [] { log("switch_display_mode"); },
        [] { log("center_cursor"); },
        [] { log("show_window"); },
        [] { return log("choose_pixel_format"), answers.choose; },
        [] { return answers.palette; },
        [] { return log("set_pixel_format"), answers.set; },
        [] { return log("create_context"), answers.context; },
        [] { return log("make_context_current"), answers.current; },
        [] { log("show_cursor"); },
        [] { log("hide_window"); },
        [] { log("release_context"); },
        [] { log("delete_context"); },
        [] { log("release_window"); },
        [] { log("post_quit"); },
    };
}

DemoWindowHooks hooks_in_use;

class DemoWindowSequence : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        testplatform::reset();
        answers = Answers{};
        datadir = data_dir.data();
        fullscreen = 0;
        scene_ready = 0;
        mouse_move_tolerance = 1;
        demo_window_exists = 0;
        // The shells destroy the window at once: the destruction steps run inside the request.
        testplatform::on_end_run = [] { run_demo_window_destruction(hooks_in_use); };
    }

    void create() {
        hooks_in_use = recording_hooks();
        run_demo_window_creation(hooks_in_use);
    }

    std::string data_dir = ZELM_DATA_DIR;
};

const std::vector<std::string> destruction = {
    "show_cursor",      "hide_window",    "release_context", "delete_context",
    "end_timer_period", "release_window", "post_quit"};

// The destruction steps of a window that got no context, with the display restored or not.
std::vector<std::string> destruction_without_context(bool restore) {
    std::vector<std::string> steps = destruction;
    std::erase(steps, "delete_context");
    if (restore) {
        steps.insert(steps.begin() + 1, "restore_display_mode");
    }
    return steps;
}

// a, then b.
std::vector<std::string> then(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(DemoWindowSequence, WindowedCreationThenDestructionOnce) {
    create();
    const std::vector<std::string> created = {
        "hide_cursor",      "center_cursor",  "show_window",          "choose_pixel_format",
        "set_pixel_format", "create_context", "make_context_current", "begin_timer_period"};
    EXPECT_EQ(events, created);
    EXPECT_EQ(scene_ready, 1);
    EXPECT_EQ(mouse_move_tolerance, 2);

    events.clear();
    run_demo_window_destruction(hooks_in_use);
    run_demo_window_destruction(hooks_in_use);
    EXPECT_EQ(events, destruction);
}

TEST_F(DemoWindowSequence, FullScreenSwitchesAndRestoresAfterShowingTheCursor) {
    fullscreen = 1;
    create();
    EXPECT_EQ(events[1], "switch_display_mode");
    events.clear();
    run_demo_window_destruction(hooks_in_use);
    std::vector<std::string> expected = destruction;
    expected.insert(expected.begin() + 1, "restore_display_mode");
    EXPECT_EQ(events, expected);
}

// A failed context step destroys the window; the sequence goes on without the context steps
// (a destroyed window gets no context) up to the scene's setup.
TEST_F(DemoWindowSequence, FailedStepsDestroyTheWindowAndTheSequenceGoesOn) {
    fullscreen = 1;
    answers.context = 0;
    create();
    const std::vector<std::string> expected =
        then(then({"hide_cursor", "switch_display_mode", "show_window", "choose_pixel_format",
                   "set_pixel_format", "create_context", "restore_display_mode",
                   "message_box(Error:, Couldn't create gl context\nClose display properties?\n"
                   "Try unsetting fullscreen?, error, none)",
                   "end_run"},
                  destruction_without_context(true)),
             {"begin_timer_period"});
    EXPECT_EQ(events, expected);
    EXPECT_EQ(scene_ready, 1);
}

TEST_F(DemoWindowSequence, APaletteFormatIsTwoMessagesAndNoContext) {
    answers.palette = 1;
    create();
    const std::vector<std::string> expected =
        then(then({"hide_cursor", "center_cursor", "show_window", "choose_pixel_format",
                   "message_box(Error, Needs palette, none, none)",
                   "message_box(Error:, Couldn't setup pixelformat, error, none)", "end_run"},
                  destruction_without_context(false)),
             {"begin_timer_period"});
    EXPECT_EQ(events, expected);
}

TEST_F(DemoWindowSequence, AContextThatWillNotBindRestoresBeforeItsMessage) {
    fullscreen = 1;
    answers.current = 0;
    create();
    const auto bind = std::find(events.begin(), events.end(), "make_context_current");
    ASSERT_NE(bind, events.end());
    const std::vector<std::string> after(bind + 1, bind + 4);
    const std::vector<std::string> expected = {
        "restore_display_mode", "message_box(Error:, Couldn't wglMakeCurrent(), error, none)",
        "end_run"};
    EXPECT_EQ(after, expected);
    // The context that was made is deleted with the window.
    EXPECT_EQ(std::count(events.begin(), events.end(), "delete_context"), 1);
}

// The failures that end the process return its exit code, after their message and nothing more.
TEST_F(DemoWindowSequence, FailuresThatEndTheProcessReturnItsCode) {
    hooks_in_use = recording_hooks();
    answers.find = 0;
    EXPECT_EQ(prepare_fullscreen_mode(hooks_in_use), -1);
    answers.find = 1;
    answers.test = DisplayModeTest::bad_mode;
    EXPECT_EQ(prepare_fullscreen_mode(hooks_in_use), -1);
    answers.test = DisplayModeTest::failed;
    EXPECT_EQ(prepare_fullscreen_mode(hooks_in_use), -1);
    EXPECT_EQ(events.size(), 3u);
    events.clear();
    answers.test = DisplayModeTest::ok;
    EXPECT_EQ(prepare_fullscreen_mode(hooks_in_use), 0);
    EXPECT_TRUE(events.empty());

    answers.choose = 0;
    EXPECT_EQ(setup_pixel_format(hooks_in_use), -1);
    answers.choose = 1;
    answers.set = 0;
    events.clear();
    EXPECT_EQ(run_demo_window_creation(hooks_in_use), 1);
    const std::vector<std::string> expected = {
        "hide_cursor",      "center_cursor",
        "show_window",      "choose_pixel_format",
        "set_pixel_format", "message_box(Error, SetPixelFormat failed., error, demo_window)"};
    EXPECT_EQ(events, expected);
}

}  // namespace
}  // namespace zelm
