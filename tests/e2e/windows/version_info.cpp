// zelm-version-info FILE: prints the product name, file description, file version and product
// version of FILE's version resource as Windows reads it, one "Name: text" a line; exits with 1
// when the file has none.
#include <windows.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelm-version-info FILE\n");
        return 2;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(argv[1], &handle);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, info.data())) {
        std::fprintf(stderr, "zelm-version-info: %s has no version resource\n", argv[1]);
        return 1;
    }
    for (const char* name : {"ProductName", "FileDescription", "FileVersion", "ProductVersion"}) {
        char path[64];
        std::snprintf(path, sizeof path, "\\StringFileInfo\\040904B0\\%s", name);
        char* text = nullptr;
        UINT length = 0;
        if (VerQueryValueA(info.data(), path, reinterpret_cast<void**>(&text), &length)) {
            std::printf("%s: %s\n", name, text);
        }
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) {
        std::printf("FixedFileVersion: %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                    LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                    LOWORD(fixed->dwFileVersionLS));
    }
    return 0;
}
