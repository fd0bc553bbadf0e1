// zelm-capture's pieces without a context: the option parser and the stepped clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/offscreen/capture_options.hpp"
#include "app/offscreen/capture_platform.hpp"
#include "platform/platform.hpp"

namespace zelm {
namespace {

// Parses the words after the program name.
int parse(std::vector<const char*> words, CaptureOptions& options, std::string& error) {
    words.insert(words.begin(), "zelm-capture");
    return parse_capture_options(static_cast<int>(words.size()), words.data(), "/src/data", options,
                                 error);
}

TEST(CaptureOptions, DefaultsAndEveryOption) {
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--out", "frames"}, o, error), 1) << error;
    EXPECT_EQ(o.out_dir, "frames");
    EXPECT_EQ(o.frames, 1);
    EXPECT_EQ(o.frame_ms, 16u);
    EXPECT_EQ(o.start_ms, 0u);
    EXPECT_EQ(o.datadir, "/src/data");
    EXPECT_EQ(o.use_heightfield, 1);
    EXPECT_EQ(o.use_alt_blend, 0);
    EXPECT_EQ(o.show_fps, 1);
    EXPECT_FALSE(o.help);

    ASSERT_EQ(parse({"--frames", "25", "--frame-ms=40", "--start-ms", "4294967295", "--datadir",
                     "d", "--heightfield", "0", "--alt-blend=1", "--fps=0", "--out=o"},
                    o, error),
              1)
        << error;
    EXPECT_EQ(o.out_dir, "o");
    EXPECT_EQ(o.frames, 25);
    EXPECT_EQ(o.frame_ms, 40u);
    EXPECT_EQ(o.start_ms, 4294967295u);
    EXPECT_EQ(o.datadir, "d");
    EXPECT_EQ(o.use_heightfield, 0);
    EXPECT_EQ(o.use_alt_blend, 1);
    EXPECT_EQ(o.show_fps, 0);

    ASSERT_EQ(parse({"--help"}, o, error), 1);  // needs no --out
    EXPECT_TRUE(o.help);
}

TEST(CaptureOptions, ReasonsNameTheOptionAndWhatItTakes) {
    CaptureOptions o;
    std::string error;
    EXPECT_EQ(parse({}, o, error), 0);
    EXPECT_EQ(error, "missing --out DIR");
    EXPECT_EQ(parse({"--out", "o", "--frames", "+3"}, o, error), 0);
    EXPECT_EQ(error, "bad value '+3' for --frames: expected a whole number from 0 to 100000000");
    EXPECT_EQ(parse({"--out", "o", "--every", "0"}, o, error), 0);
    EXPECT_EQ(error, "bad value '0' for --every: expected a whole number from 1 to 100000000");
    EXPECT_EQ(parse({"--out", "o", "--heightfield", "01"}, o, error), 0);
    EXPECT_EQ(error, "bad value '01' for --heightfield: expected 0 or 1");
    EXPECT_EQ(parse({"--out", "o", "--frame-ms", "99999999999999999999999"}, o, error), 0);
    EXPECT_EQ(parse({"--out", ""}, o, error), 0);
    EXPECT_EQ(parse({"--out", "o", "--datadir"}, o, error), 0);
    EXPECT_EQ(error, "option '--datadir' needs a value");
    EXPECT_EQ(parse({"--out", "o", "--fps", "3"}, o, error), 0);
    EXPECT_EQ(error, "bad value '3' for --fps: expected 0 or 1");
    EXPECT_EQ(parse({"--out", "o", "--speed", "3"}, o, error), 0);
    EXPECT_EQ(error, "unknown option '--speed'");
}

TEST(CaptureOptions, EveryWritesEachNthFrameFromTheFirstAndTheLast) {
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--out", "o", "--frames", "8", "--every", "3"}, o, error), 1) << error;
    std::vector<long> written;
    for (long frame = 0; frame < o.frames; ++frame) {
        if (capture_writes_frame(o, frame)) {
            written.push_back(frame);
        }
    }
    EXPECT_EQ(written, (std::vector<long>{0, 3, 6, 7}));
    ASSERT_EQ(parse({"--out", "o", "--frames", "3"}, o, error), 1) << error;
    EXPECT_TRUE(capture_writes_frame(o, 1));  // by default every frame
}

TEST(SteppedClock, StepsBeforeTheSetupTickAndBeforeEachFrameOnly) {
    stepped_clock_init(1000, 16);
    EXPECT_EQ(platform_time_ms(), 1000u);  // the clock's start
    EXPECT_EQ(platform_time_ms(), 1016u);  // setup's tick
    EXPECT_EQ(platform_time_ms(), 1016u);  // anything else in setup sees the same time
    for (std::uint32_t frame = 1; frame <= 3; ++frame) {
        stepped_clock_next_frame();
        EXPECT_EQ(platform_time_ms(), 1016u + 16 * frame);  // the frame's tick
        EXPECT_EQ(platform_time_ms(), 1016u + 16 * frame);  // e.g. the spiral's seed
    }
    stepped_clock_init(0xFFFFFFF8u, 16);  // the counter wraps like the real one
    platform_time_ms();
    EXPECT_EQ(platform_time_ms(), 8u);
}

TEST(CapturePlatform, MessagesAndDestroyedWindow) {
    testing::internal::CaptureStderr();
    platform_message_box("Error loading texture", "Error", MessageIcon::error, MessageOwner::none);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Error loading texture\n");
    EXPECT_EQ(capture_window_destroyed, 0);
    platform_end_run();
    EXPECT_EQ(capture_window_destroyed, 1);
}

}  // namespace
}  // namespace zelm
