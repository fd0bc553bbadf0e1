#!/usr/bin/env python3
"""A stand-in for a desktop's org.freedesktop.ScreenSaver on a private session bus: it records
each Inhibit and UnInhibit call as one line of LOG ("Inhibit APP REASON COOKIE", "UnInhibit
COOKIE") and answers like the real service. It writes "ready" to LOG once it owns the name.

Usage: inhibit_service.py LOG
"""

import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.ScreenSaver"


class ScreenSaver(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/ScreenSaver")
        self.log = log
        self.next_cookie = 41

    def record(self, line):
        with open(self.log, "a") as f:
            f.write(line + "\n")

    @dbus.service.method(NAME, in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        self.next_cookie += 1
        self.record("Inhibit %s %s %d" % (application, reason.replace(" ", "_"), self.next_cookie))
        return dbus.UInt32(self.next_cookie)

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def UnInhibit(self, cookie):
        self.record("UnInhibit %d" % cookie)


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    service = ScreenSaver(bus, sys.argv[1])
    service.record("ready")
    GLib.MainLoop().run()
    del name, service


if __name__ == "__main__":
    main()
