// Replacing a file whole through a temporary file and a rename.
#include "platform/replace_file.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The process id in a temporary file's name, ".NAME.tmpPID.SEQ" for the given NAME, or 0 for
// any other name: other files in the folder are not ours to remove.
pid_t temporary_file_owner(const std::string& entry, const std::string& name) {
    const std::string prefix = "." + name + ".tmp";
    if (entry.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    const std::string numbers = entry.substr(prefix.size());  // "PID.SEQ"
    const std::size_t dot = numbers.find('.');
    // At most nine digits: every pid fits, and no overflow.
    if (dot == std::string::npos || dot == 0 || dot > 9 || dot + 1 == numbers.size() ||
        numbers.find_first_not_of("0123456789", dot + 1) != std::string::npos ||
        numbers.find_first_not_of("0123456789") != dot) {
        return 0;
    }
    return static_cast<pid_t>(std::stol(numbers.substr(0, dot)));
}

// Removes the temporary files of name left in folder by writers that died before their rename.
// A file whose process still exists (or whose id was taken by another since) stays: it may be
// a write in progress.
void remove_stale_temporary_files(const std::string& folder, const std::string& name) {
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(listing)) {
        const pid_t owner = temporary_file_owner(entry->d_name, name);
        if (owner != 0 && kill(owner, 0) != 0 && errno == ESRCH) {
            unlinkat(dirfd(listing), entry->d_name, 0);
        }
    }
    closedir(listing);
}

// The file that dir/name stands for: itself, or where a link there leads. False, with why, for
// a link that leads nowhere: creating its target would put the file where the user may not look
// (a dotfiles folder not yet checked out, a drive not mounted), so the user settles it.
bool resolve(const std::string& dir, const std::string& name, std::string& folder,
             std::string& file, std::string& why) {
    folder = dir;
    file = name;
    const std::string path = dir + "/" + name;
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return true;
    }
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
        const int error = errno;
        char target[PATH_MAX] = "";
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        why = error == ENOENT && length > 0
                  ? "it is a link to " + std::string(target, static_cast<std::size_t>(length)) +
                        ", which does not exist"
                  : std::strerror(error);
        return false;
    }
    const std::string target = resolved;
    const std::size_t slash = target.rfind('/');
    folder = slash == 0 ? "/" : target.substr(0, slash);
    file = target.substr(slash + 1);
    return true;
}

}  // namespace

// A crash between the open and the rename leaves the temporary file; its name says whose it was.
bool replace_file(const std::string& dir, const std::string& name, const std::string& contents,
                  std::string& why) {
    // A link is written through: the file it leads to (one kept with the user's other dotfiles,
    // say) stays the one in use, instead of a copy taking the link's place.
    std::string folder;
    std::string file;
    if (!resolve(dir, name, folder, file, why)) {
        return false;
    }
    const std::string path = folder + "/" + file;
    struct stat old {};
    const bool replacing = stat(path.c_str(), &old) == 0;
    if (replacing && S_ISREG(old.st_mode) && (old.st_mode & S_IWUSR) == 0) {
        why = "it is read-only; make it writable (chmod u+w) to let zelm change it";
        return false;
    }
    remove_stale_temporary_files(folder, file);
    static unsigned sequence = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + file + ".tmp" + std::to_string(getpid()) + "." +
               std::to_string(sequence++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            why = std::strerror(errno);
            return false;
        }
    }
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    // The new file is the old one's in all but its bytes: a file its owner made private stays
    // so, and one that root writes for a user (sudo with the user's HOME) stays the user's.
    int error = 0;
    if ((replacing && ((fchown(fd, old.st_uid, old.st_gid) != 0 && geteuid() == 0) ||
                       fchmod(fd, old.st_mode & 0777) != 0)) ||
        !write_all(fd, contents) || fsync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temp.c_str());
        why = std::strerror(error);
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
