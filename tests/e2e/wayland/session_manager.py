#!/usr/bin/env python3
"""A stand-in for GNOME's session manager (org.gnome.SessionManager) on the session bus: it
answers IsInhibited, and holds idle off (flag 8) while the file FLAG exists.

Usage: session_manager.py FLAG
"""

import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.gnome.SessionManager"
INHIBIT_IDLE = 8


class SessionManager(dbus.service.Object):
    def __init__(self, bus, flag):
        super().__init__(bus, "/org/gnome/SessionManager")
        self.flag = flag

    @dbus.service.method(NAME, in_signature="u", out_signature="b")
    def IsInhibited(self, flags):
        return bool(flags & INHIBIT_IDLE) and os.path.exists(self.flag)


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    manager = SessionManager(bus, sys.argv[1])
    GLib.MainLoop().run()
    del name, manager


if __name__ == "__main__":
    main()
