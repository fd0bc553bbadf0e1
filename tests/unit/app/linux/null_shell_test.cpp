// The null shell: every entry of a Linux shell's contract, each logging its call and doing
// nothing else. An entry missing here is an error whatever the build's warnings, so that a
// contract that grows cannot leave a shell behind.
#pragma GCC diagnostic error "-Wmissing-field-initializers"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/linux/linux_runner.hpp"
#include "app/linux/linux_shell.hpp"
#include "app/main_loop.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "tests/support/test_platform.hpp"

namespace zelm {
namespace {

std::vector<std::string> calls;
char data_dir[] = ZELM_DATA_DIR;
int open_result = -1;
int connect_result = 1;
int choose_result = 1;
int drain_result = 1;
int frame_result = 1;

template <const char* name>
void log() {
    calls.emplace_back(name);
}

template <const char* name, int result>
int log_and_answer() {
    calls.emplace_back(name);
    return result;
}

int connect_demo() {
    calls.emplace_back("connect");
    return connect_result;
}

int open_saver(const LinuxRequest&, int&) {
    calls.emplace_back("open");
    return open_result;
}

int log_drain(void*) {
    calls.emplace_back("drain");
    return drain_result;
}

int log_frame() {
    calls.emplace_back("frame");
    return frame_result;
}

int choose_format() {
    calls.emplace_back("window_step");
    return choose_result;
}

constexpr char make_window_name[] = "make_window";
constexpr char swap_name[] = "swap_buffers";
constexpr char disconnect_name[] = "disconnect";
constexpr char close_name[] = "close";
constexpr char step_name[] = "window_step";

const DemoWindowHooks null_window = {
    .find_display_mode = log_and_answer<step_name, 1>,
    .test_display_mode = [] { return DisplayModeTest::ok; },
    .hide_cursor = log<step_name>,
    .switch_display_mode = log<step_name>,
    .center_cursor = log<step_name>,
    .show_window = log<step_name>,
    .choose_pixel_format = choose_format,
    .format_needs_palette = log_and_answer<step_name, 0>,
    .set_pixel_format = log_and_answer<step_name, 1>,
    .create_context = log_and_answer<step_name, 1>,
    .make_context_current = log_and_answer<step_name, 1>,
    .show_cursor = log<step_name>,
    .hide_window = log<step_name>,
    .release_context = log<step_name>,
    .delete_context = log<step_name>,
    .release_window = log<step_name>,
    .post_quit = log<step_name>,
};

const LinuxDemo null_demo = {
    .window = &null_window,
    .connect = connect_demo,
    .make_window = log<make_window_name>,
    .frames = {.drain = log_drain, .frame = log_frame, .swap_buffers = log<swap_name>},
    .restore_display_mode = nullptr,
    .disconnect = log<disconnect_name>,
};

const LinuxSaver null_saver = {
    .open = open_saver,
    .frames = {.drain = log_drain, .frame = log_frame, .swap_buffers = log<swap_name>},
    .close = log<close_name>,
};

class LinuxRunner : public ::testing::Test {
protected:
    void SetUp() override {
        testplatform::reset();
        testplatform::on_end_run = [] { window_services->end_run(); };
        calls.clear();
        open_result = -1;
        connect_result = 1;
        choose_result = 1;
        drain_result = 1;
        frame_result = 1;
        fullscreen = 0;
        scene_ready = 0;
        quit_requested = 0;
    }
};

TEST_F(LinuxRunner, ShellThatCannotConnectEndsWith1AndTouchesNothingElse) {
    connect_result = 0;
    EXPECT_EQ(run_linux_demo(null_demo), 1);
    EXPECT_EQ(calls, std::vector<std::string>{"connect"});

    calls.clear();
    open_result = 1;
    EXPECT_EQ(run_linux_saver(null_saver, LinuxRequest{}), 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"open", "close"}));
}

// The scene's request to end during its setup (data it cannot load) is said once, with the data
// folder, and the saver closes without a frame.
TEST_F(LinuxRunner, SaverWhoseSceneCannotBeSetUpSaysWhyAndEndsWith1) {
    char folder[] = "/nonexistent-zelm-data";
    datadir = folder;
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_linux_saver(null_saver, LinuxRequest{}), 1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("zelm: the scene could not be set up from the data in "
                        "\"/nonexistent-zelm-data\"\n"),
              std::string::npos)
        << said;
    EXPECT_EQ(calls, (std::vector<std::string>{"open", "close"}));
}

// A run that ends the process early still tears down as usual: the window's destruction steps
// (which put the display mode back) and the connection closed, then the step's exit code.
TEST_F(LinuxRunner, DemoEndedByAFailedStepTearsDownBeforeItsCode) {
    const std::vector<std::string> created(4, "window_step");  // cursor, mode, shown, format
    std::vector<std::string> expected = {"connect", "window_step", "make_window"};
    expected.insert(expected.end(), created.begin(), created.end());
    expected.insert(expected.end(), 5, "window_step");  // cursor, hidden, context, window, quit
    expected.emplace_back("disconnect");

    fullscreen = 1;
    choose_result = 0;
    EXPECT_EQ(run_linux_demo(null_demo), 1);
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(std::count(testplatform::events.begin(), testplatform::events.end(),
                         "restore_display_mode"),
              1);

    // A frame that ran out of memory, after the whole creation and the scene's setup.
    SetUp();
    datadir = data_dir;
    drain_result = 0;
    frame_result = 0;
    EXPECT_EQ(run_linux_demo(null_demo), -1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "frame"), 1);
    EXPECT_EQ(calls.back(), "disconnect");
    EXPECT_EQ(calls[calls.size() - 2], "window_step");  // the destruction's quit
}

}  // namespace
}  // namespace zelm
