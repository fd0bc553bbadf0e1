#include "app/linux/linux_messages.hpp"

#include <cstdarg>
#include <cstdio>

namespace zelm {

void linux_report(const char* format, ...) {
    char line[512];  // the list's longest format is under 200 bytes; no heap, as memory may be out
    std::snprintf(line, sizeof line, "zelm: %s\n", format);
    std::va_list args;
    va_start(args, format);
    std::vfprintf(stderr, line, args);  // stderr is unbuffered: one call, one write
    va_end(args);
}

}  // namespace zelm
