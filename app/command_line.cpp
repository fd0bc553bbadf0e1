#include "app/command_line.hpp"

namespace zelm {

const char* command_line_tail(const char* command_line) {
    if (command_line == nullptr) {
        return "";
    }
    const unsigned char* at = reinterpret_cast<const unsigned char*>(command_line);
    if (*at == '"') {
        ++at;
        while (*at != '\0' && *at != '"') {
            ++at;
        }
        if (*at == '"') {
            ++at;
        }
    } else {
        while (*at > ' ') {
            ++at;
        }
    }
    while (*at != '\0' && *at <= ' ') {
        ++at;
    }
    return reinterpret_cast<const char*>(at);
}

}  // namespace zelm
