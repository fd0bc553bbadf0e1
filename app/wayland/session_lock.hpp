// One zelm of a kind to a Wayland session: a lock file in the session's runtime folder, named by
// the socket the compositor listens on, as the connection's peer address gives it, so that every
// spelling of WAYLAND_DISPLAY (a name, a path) finds the same lock.
#pragma once

namespace zelm {

// Takes "zelm-KIND-SOCKET.lock" in runtime_dir over the open connection; false when another
// process holds it. lock is the descriptor that holds it (the lock goes with the process), or -1
// where none can be kept: a connection handed over as a descriptor (WAYLAND_SOCKET) has no
// socket name, and a folder that cannot be written takes no file.
bool wayland_lock_session(const char* runtime_dir, const char* kind, int& lock);

}  // namespace zelm
