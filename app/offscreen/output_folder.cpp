// The output folder's checks are made on the opened descriptor, so the folder checked is the
// folder written to, whatever is renamed around it meanwhile.
#include "app/offscreen/output_folder.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zelm {

int open_output_folder(const std::string& path, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) {
        error = "cannot create folder '" + path + "': " + ec.message();
        return -1;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat folder {};
    if (fd < 0 || fstat(fd, &folder) != 0) {
        error = "cannot open folder '" + path + "': " + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    const uid_t user = geteuid();
    const bool others_write =
        (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (folder.st_mode & S_ISVTX) == 0;
    if (folder.st_uid != user && folder.st_uid != 0) {
        error = "folder '" + path + "' belongs to another user; choose a folder of your own";
    } else if (folder.st_uid != user && others_write) {
        error = "folder '" + path + "' can be changed by other users; choose a folder of your own";
    } else {
        return fd;
    }
    close(fd);
    return -1;
}

}  // namespace zelm
