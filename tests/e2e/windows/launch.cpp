// zelm-launch PROGRAM COMMAND-LINE: runs PROGRAM with exactly COMMAND-LINE as its command line
// (what GetCommandLineA answers there), waits for it and exits with its exit code. Wine builds a
// program's command line from its Unix arguments by its own quoting; the tests need lines that
// no quoting produces.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zelm-launch PROGRAM COMMAND-LINE\n");
        return 2;
    }
    std::string command_line = argv[2];  // CreateProcessA may write into it
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "zelm-launch: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
