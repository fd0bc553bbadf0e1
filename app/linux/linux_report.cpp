#include "app/linux/linux_report.hpp"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace zelm {

void linux_report(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    std::fprintf(stderr, "zelm: %s\n", text.c_str());
}

}  // namespace zelm
