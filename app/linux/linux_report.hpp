// The one way the Linux shells say something on stderr.
#pragma once

namespace zelm {

// Writes "zelm: ", the text that format (one of linux_messages) makes of the arguments, and a
// newline to stderr in one write: a saver's only channel to the user (XScreenSaver shows or logs
// a hack's stderr; an idle daemon logs it).
void linux_report(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zelm
