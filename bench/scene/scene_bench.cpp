// Frames per second of the whole scene offscreen, next to its ceiling: the same frame's OpenGL
// calls replayed without the simulation (clock, camera, mesh animation and lighting, particle
// update and sort) that produced them. Also the time from start to the first frame.
//
// Usage: bench_scene [FRAMES]   (default 600, a multiple of 60)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

// Wall-clock and main-thread CPU milliseconds.
struct Timing {
    double wall_ms;
    double cpu_ms;
    Timing& operator+=(const Timing& t) {
        wall_ms += t.wall_ms;
        cpu_ms += t.cpu_ms;
        return *this;
    }
    Timing operator-(const Timing& t) const { return {wall_ms - t.wall_ms, cpu_ms - t.cpu_ms}; }
};

Timing now() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return {std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count(),
            cpu.tv_sec * 1000.0 + cpu.tv_nsec / 1e6};
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
    const long rounds = 60;
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
        if (run_program({ZELM_CAPTURE, "--out", frames_dir, "--frames", "1", "--datadir",
                         ZELM_DATA_DIR}) != 0) {
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

    // The scene goes on from its first frame; replayed rounds alternate with it, in short rounds
    // so that both meet the same machine load. Main-thread CPU time shows what the simulation
    // adds however busy the machine is (llvmpipe rasterises on threads of its own).
    Timing full{};
    Timing replay{};
    for (long round = 0; round < rounds; ++round) {
        Timing start = now();
        for (long i = 0; i < frames / rounds; ++i) {
            zelm::stepped_clock_next_frame();
            zelm::draw_frame();
        }
        full += now() - start;
        start = now();
        for (long i = 0; i < frames / rounds; ++i) {
            zelm::replay_calls(calls);
        }
        replay += now() - start;
    }
    zelm::egl_offscreen_destroy(egl);

    const double full_fps = frames / (full.wall_ms / 1000.0);
    const double replay_fps = frames / (replay.wall_ms / 1000.0);
    std::printf("full scene:      %ld frames, %.1f fps, main thread %.3f ms CPU a frame\n", frames,
                full_fps, full.cpu_ms / frames);
    std::printf(
        "replayed calls:  %ld frames, %.1f fps, main thread %.3f ms CPU a frame (%zu calls)\n",
        frames, replay_fps, replay.cpu_ms / frames, calls.size());
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
