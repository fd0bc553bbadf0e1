// The signals that end every run mode, SIGINT, SIGTERM and SIGHUP (the XScreenSaver daemon ends
// its hacks with SIGTERM), and the ways the run modes take them.
#pragma once

#include <csignal>

namespace zelm {

// One of the stop signals arrived since catch_stop_signals.
extern volatile std::sig_atomic_t stop_signal;

// The stop signals as a set, for a mask.
sigset_t stop_signal_set();

// A mask inherited from the parent must not keep the stop signals out.
void unblock_stop_signals();

// Makes the stop signals only set stop_signal: the main loop does the teardown, so that what the
// run changed is put back.
void catch_stop_signals();

// The default action for the stop signals, whatever the parent left: the process ends at once,
// even inside a frame.
void default_stop_signals();

}  // namespace zelm
