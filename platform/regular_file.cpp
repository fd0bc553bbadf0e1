#include "platform/regular_file.hpp"

#include <cerrno>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zelm {

#ifdef _WIN32

// Opening a pipe by a file name is not something a Windows user stumbles on.
std::FILE* open_regular_file(const char* path) {
    return std::fopen(path, "rb");
}

#else

std::FILE* open_regular_file(const char* path) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer; the mode is cleared again once
    // the descriptor is known to be a regular file.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    int error = EINVAL;
    if (fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISREG(info.st_mode)) {
        const int flags = fcntl(fd, F_GETFL);
        if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) {
            if (std::FILE* file = fdopen(fd, "rb")) {
                return file;
            }
        }
        error = errno;
    }
    close(fd);
    errno = error;
    return nullptr;
}

#endif

}  // namespace zelm
