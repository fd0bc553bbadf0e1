#include "app/wayland/session_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "app/wayland/wayland_client.hpp"

namespace zelm {

bool wayland_lock_session(const char* runtime_dir, const char* kind, int& lock) {
    lock = -1;
    sockaddr_un peer{};
    socklen_t size = sizeof peer;
    if (getpeername(wl_display_get_fd(wayland.display), reinterpret_cast<sockaddr*>(&peer),
                    &size) != 0 ||
        size <= offsetof(sockaddr_un, sun_path) || peer.sun_path[0] == '\0') {
        return true;
    }
    std::string name(peer.sun_path, strnlen(peer.sun_path, size - offsetof(sockaddr_un, sun_path)));
    std::replace(name.begin(), name.end(), '/', '_');
    const std::string path = std::string(runtime_dir) + "/zelm-" + kind + "-" + name + ".lock";
    lock = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock >= 0 && flock(lock, LOCK_EX | LOCK_NB) != 0) {
        close(lock);
        lock = -1;
        return false;
    }
    return true;
}

}  // namespace zelm
