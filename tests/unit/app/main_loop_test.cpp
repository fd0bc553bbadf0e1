#include "app/main_loop.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/input_rules.hpp"

namespace zelm {
namespace {

// A scripted message queue: each drain takes the next batch; a batch may hold a quit.
struct FakeShell {
    std::vector<std::vector<std::string>> batches;
    std::size_t next = 0;
    std::vector<std::string> log;
    int draws_left = -1;  // the draw that fails, counted down; -1 never
};

int drain(void* context) {
    auto& shell = *static_cast<FakeShell*>(context);
    int quit = 0;
    if (shell.next < shell.batches.size()) {
        for (const std::string& message : shell.batches[shell.next]) {
            if (message == "quit") {
                quit = 1;  // not dispatched, but draining goes on
            } else {
                shell.log.push_back("dispatch " + message);
            }
        }
        ++shell.next;
    }
    return quit;
}

void sleep_ms(void* context, unsigned ms) {
    static_cast<FakeShell*>(context)->log.push_back("sleep " + std::to_string(ms));
}

int draw(void* context) {
    auto& shell = *static_cast<FakeShell*>(context);
    shell.log.push_back(frame_started ? "draw (started)" : "draw (not started)");
    return shell.draws_left-- != 0 ? 1 : 0;
}

// Each test starts as the process does: no quit taken, no frame begun.
class MainLoop : public ::testing::Test {
protected:
    void SetUp() override {
        quit_requested = 0;
        frame_started = 0;
    }
};

TEST_F(MainLoop, DrawsWhenTheQueueIsEmptyAndSleepsOnceAfterQuit) {
    FakeShell shell;
    shell.batches = {{"paint"}, {}, {"key", "quit", "destroy"}};
    EXPECT_EQ(run_main_loop({drain, sleep_ms, draw, &shell}), 0);
    const std::vector<std::string> expected = {
        "dispatch paint", "draw (started)",   "draw (started)",
        "dispatch key",   "dispatch destroy", "sleep 50",
    };
    EXPECT_EQ(shell.log, expected);
    EXPECT_EQ(quit_requested, 1);
}

TEST_F(MainLoop, QuitBeforeTheFirstFrameDrawsNothing) {
    FakeShell shell;
    shell.batches = {{"create", "quit"}};
    run_main_loop({drain, sleep_ms, draw, &shell});
    const std::vector<std::string> expected = {"dispatch create", "sleep 50"};
    EXPECT_EQ(shell.log, expected);
    EXPECT_EQ(frame_started, 0);
}

// A frame that ran out of memory ends the loop at once, with the code the process ends with.
TEST_F(MainLoop, FailedFrameEndsTheLoopAtOnceWithMinusOne) {
    FakeShell shell;
    shell.batches = {{}, {}, {"quit"}};
    shell.draws_left = 1;
    EXPECT_EQ(run_main_loop({drain, sleep_ms, draw, &shell}), -1);
    const std::vector<std::string> expected = {"draw (started)", "draw (started)"};
    EXPECT_EQ(shell.log, expected);
}

}  // namespace
}  // namespace zelm
