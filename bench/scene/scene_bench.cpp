// Frames per second of the whole scene offscreen, next to its ceiling: the same frame's OpenGL
// calls replayed without the simulation (clock, camera, mesh animation and lighting, particle
// update and sort) that produced them. Also the time from start to the first frame.
//
// Usage: bench_scene [FRAMES]   (default 600; rounds of full and replayed frames alternate so
// that both see the same machine load)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/offscreen/capture_platform.hpp"
#include "app/offscreen/egl_offscreen.hpp"
#include "bench/scene/gl_replay.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs a program to its end; its exit code, or -1.
int run_program(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace

int main(int argc, char** argv) {
    const Clock::time_point main_start = Clock::now();
    const long frames = (argc > 1) ? std::strtol(argv[1], nullptr, 10) : 600;
    const long rounds = 6;
    if (frames < rounds || frames % rounds != 0) {
        std::fprintf(stderr, "bench_scene: FRAMES must be a positive multiple of %ld\n", rounds);
        return 2;
    }

    // In process: context, setup and the first frame.
    zelm::EglOffscreen egl{};
    if (zelm::egl_offscreen_create(egl, 640, 480) == 0) {
        return 1;
    }
    const double context_ms = ms_since(main_start);
    static char data[] = ZELM_DATA_DIR;
    zelm::datadir = data;
    zelm::stepped_clock_init(0, 16);
    zelm::scene_setup();
    const double setup_ms = ms_since(main_start);
    zelm::stepped_clock_next_frame();
    zelm::draw_frame();
    const double first_frame_ms = ms_since(main_start);

    char dir_template[] = "/tmp/zelm-bench-XXXXXX";
    const char* dir = mkdtemp(dir_template);
    if (dir == nullptr) {
        return 1;
    }
    const std::string stream_path = std::string(dir) + "/frame.calls";
    const std::string frames_dir = std::string(dir) + "/frames";

    // A whole zelm-capture process: start, one frame drawn and written, exit. Best of five.
    std::vector<double> capture_ms;
    for (int i = 0; i < 5; ++i) {
        const Clock::time_point start = Clock::now();
        if (run_program({ZELM_CAPTURE, "--out", frames_dir, "--frames", "1"}) != 0) {
            std::fprintf(stderr, "bench_scene: zelm-capture failed\n");
            return 1;
        }
        capture_ms.push_back(ms_since(start));
    }
    std::sort(capture_ms.begin(), capture_ms.end());

    // The last frame's calls, recorded in another process.
    std::vector<zelm::glrec::Call> calls;
    if (run_program({ZELM_SCENE_RECORD, stream_path, std::to_string(frames)}) != 0 ||
        zelm::read_call_stream(stream_path, calls) == 0) {
        std::fprintf(stderr, "bench_scene: recording the frame failed\n");
        return 1;
    }

    // The scene goes on from its first frame; replayed rounds alternate with it.
    double full_ms = 0;
    double replay_ms = 0;
    long full_frames = 1;
    for (long round = 0; round < rounds; ++round) {
        const long n = frames / rounds - (round == 0 ? 1 : 0);
        Clock::time_point start = Clock::now();
        for (long i = 0; i < n; ++i) {
            zelm::stepped_clock_next_frame();
            zelm::draw_frame();
        }
        full_ms += ms_since(start);
        full_frames += n;
        start = Clock::now();
        for (long i = 0; i < frames / rounds; ++i) {
            zelm::replay_calls(calls);
        }
        replay_ms += ms_since(start);
    }
    zelm::egl_offscreen_destroy(egl);

    const double full_fps = (full_frames - 1) / (full_ms / 1000.0);
    const double replay_fps = frames / (replay_ms / 1000.0);
    std::printf("full scene:      %ld frames, %.1f fps\n", full_frames, full_fps);
    std::printf("replayed calls:  %ld frames, %.1f fps (%zu calls a frame)\n", frames, replay_fps,
                calls.size());
    std::printf("ratio:           %.3f of the ceiling\n", full_fps / replay_fps);
    std::printf("first frame:     %.1f ms from main() (context %.1f, setup %.1f, frame %.1f)\n",
                first_frame_ms, context_ms, setup_ms - context_ms, first_frame_ms - setup_ms);
    std::printf(
        "zelm-capture:    %.1f ms best, %.1f ms median of 5 (start, one frame, PNG, exit)\n",
        capture_ms.front(), capture_ms[2]);
    std::remove(stream_path.c_str());
    std::remove((frames_dir + "/frame-0000.png").c_str());
    rmdir(frames_dir.c_str());
    rmdir(dir);
    return 0;
}
