// Replacing a file whole through a temporary file and a rename.
#include "platform/replace_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace zelm {

namespace {

// Writes all of text, across short writes and interruptions.
bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

// A crash between the open and the rename leaves the temporary file; its name says whose it was.
bool replace_file(const std::string& dir, const std::string& name, const std::string& contents) {
    static unsigned sequence = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + "/." + name + ".tmp" + std::to_string(getpid()) + "." +
               std::to_string(sequence++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    const bool written = write_all(fd, contents) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temp.c_str(), (dir + "/" + name).c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself is durable only once the directory is.
    const int dir_fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        fsync(dir_fd);
        close(dir_fd);
    }
    return true;
}

}  // namespace zelm
