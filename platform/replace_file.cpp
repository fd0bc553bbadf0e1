// Replacing a file whole through a temporary file and a rename.
#include "platform/replace_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
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
    // A link is written through: the file it leads to (one kept with the user's other dotfiles,
    // say) stays the one in use, instead of a copy taking the link's place.
    std::string folder = dir;
    std::string file = name;
    char resolved[PATH_MAX];
    if (realpath((dir + "/" + name).c_str(), resolved) != nullptr) {
        const std::string target = resolved;
        const std::size_t slash = target.rfind('/');
        folder = slash == 0 ? "/" : target.substr(0, slash);
        file = target.substr(slash + 1);
    }
    static unsigned sequence = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + file + ".tmp" + std::to_string(getpid()) + "." +
               std::to_string(sequence++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    // The new file keeps the old one's permissions: a file its owner made private stays so.
    struct stat old {};
    if (stat((folder + "/" + file).c_str(), &old) == 0) {
        fchmod(fd, old.st_mode & 0777);
    }
    const bool written = write_all(fd, contents) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temp.c_str(), (folder + "/" + file).c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself is durable only once the directory is.
    const int dir_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        fsync(dir_fd);
        close(dir_fd);
    }
    return true;
}

}  // namespace zelm
