// Replays a recorded OpenGL call stream on the real OpenGL: the frame's drawing without the
// simulation that produced it. The stream is the recording OpenGL's Call records, written to a
// file by one process and replayed by another (the recording OpenGL and libGL define the same
// symbols, so they cannot share a process).
#pragma once

#include <string>
#include <vector>

#include "tests/support/recording_gl.hpp"

namespace zelm {

// Writes calls to path as raw records; 1 on success.
int write_call_stream(const std::string& path, const std::vector<glrec::Call>& calls);

// Reads a stream written by write_call_stream; 1 on success.
int read_call_stream(const std::string& path, std::vector<glrec::Call>& calls);

// Issues every call on the current context, in order. Texture uploads and pixel reads are
// skipped: the textures are already in place and nothing is read back.
void replay_calls(const std::vector<glrec::Call>& calls);

}  // namespace zelm
