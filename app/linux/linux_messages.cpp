#include "app/linux/linux_messages.hpp"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace zelm {

void linux_report(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    // stderr is unbuffered: one call, so one write, which a saver and its watcher cannot split.
    std::vfprintf(stderr, ("zelm: " + std::string(format) + "\n").c_str(), args);
    va_end(args);
}

}  // namespace zelm
