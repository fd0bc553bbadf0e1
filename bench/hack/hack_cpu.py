#!/usr/bin/env python3
"""CPU use and frame pacing of GL hacks on one private Xvfb, one hack after the other.

usage: hack_cpu.py [--screen WIDTHxHEIGHT] SWAP_LOG_LIBRARY SECONDS NAME=COMMAND...

Each COMMAND runs drawing on the root window (of a 1024x768 screen unless --screen says) with the frame logger preloaded; after two
seconds of warm-up, its user + system time and its frames are counted over SECONDS. Prints one
line per hack: NAME cpu_percent frames cpu_ms_per_frame mean_interval_ms worst_interval_ms
median_interval_ms, the intervals being those between the ends of successive frames (their
swaps). The median shows the pacing itself; the mean and the worst also take in the moments when
a busy machine gave the hack no processor.
"""
import os
import shlex
import signal
import struct
import subprocess
import sys
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def swap_times(path):
    data = open(path, "rb").read() if os.path.exists(path) else b""
    return [t / 1e9 for t in struct.unpack(f"{len(data) // 8}q", data[: len(data) // 8 * 8])]


def start_xvfb(screen, tmp, first):
    """An Xvfb on the first display number from FIRST on that it can take: one whose socket
    name another server (in a namespace of its own, say) holds makes it exit at once."""
    for number in range(first, first + 100):
        display = f":{number}"
        if os.path.exists(f"/tmp/.X{number}-lock"):
            continue
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", f"{screen}x24", "-nolisten",
                                 "tcp", "-noreset"], stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(tmp, "xvfb.stderr"), "w"))
        while xvfb.poll() is None:  # until it answers
            if subprocess.run(["xdpyinfo", "-display", display], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return xvfb, number
            time.sleep(0.1)
    sys.exit("no display number for an Xvfb")


class LostDisplay(Exception):
    """The hack could not reach the Xvfb: on a machine where other programs start X servers at
    the same time, another one can take its display number."""


def measure(library, seconds, name, command, display, tmp):
    log = os.path.join(tmp, f"{name}.swaps")
    env = dict(os.environ, DISPLAY=display, LD_PRELOAD=library, ZELM_SWAP_LOG=log)
    errors = open(os.path.join(tmp, f"{name}.stderr"), "w+")
    hack = subprocess.Popen(shlex.split(command), env=env, stdout=subprocess.DEVNULL,
                            stderr=errors)
    try:
        time.sleep(2)
        cpu0, frames0 = cpu_seconds(hack.pid), len(swap_times(log))
        time.sleep(seconds)
        cpu1, swaps = cpu_seconds(hack.pid), swap_times(log)
    finally:
        ended = hack.poll()
        hack.send_signal(signal.SIGTERM)
        hack.wait()
    if ended is not None:
        errors.seek(0)
        said = errors.read()
        if "couldn't open the X display" in said or "X connection to" in said:
            raise LostDisplay(said)
        sys.exit(f"{name} ended with {ended} before the count was over: {said}")
    window = swaps[frames0:]
    intervals = [b - a for a, b in zip(window, window[1:])]
    frames = len(window)
    cpu = cpu1 - cpu0
    mean = sum(intervals) / len(intervals) if intervals else float("nan")
    worst = max(intervals) if intervals else float("nan")
    median = sorted(intervals)[len(intervals) // 2] if intervals else float("nan")
    return (f"{name} {100 * cpu / seconds:.1f} {frames} "
            f"{1000 * cpu / frames if frames else float('nan'):.2f} {1000 * mean:.3f} "
            f"{1000 * worst:.3f} {1000 * median:.3f}")


def main():
    args, screen = sys.argv[1:], "1024x768"
    if args[0] == "--screen":
        screen, args = args[1], args[2:]
    library, seconds = os.path.abspath(args[0]), float(args[1])
    with tempfile.TemporaryDirectory() as tmp:
        entries = [entry.split("=", 1) for entry in args[2:]]
        number = 50
        for attempt in range(3):  # a fresh Xvfb for what is left when the display was lost
            xvfb, number = start_xvfb(screen, tmp, number)
            display, number = f":{number}", number + 1
            try:
                while entries:
                    line = measure(library, seconds, *entries[0], display, tmp)
                    if xvfb.poll() is not None:  # the hack drew on whichever server took over
                        raise LostDisplay(open(os.path.join(tmp, "xvfb.stderr")).read())
                    print(line, flush=True)
                    entries.pop(0)
                break
            except LostDisplay as lost:
                if attempt == 2:
                    sys.exit(f"{entries[0][0]} could not reach the X server: {lost}")
            finally:
                xvfb.terminate()
                xvfb.wait()


if __name__ == "__main__":
    main()
