#!/usr/bin/python3
"""Answers Inhibit() as logind does, on a test's own system bus, and writes what happens to the
lock to the file named first: one line when it is taken (what, who, why, mode) and one when it is
released, saying whether the program that took it was still running then."""
import os
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

events = open(sys.argv[1], "a", buffering=1)
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SystemBus()


def running(pid):
    """A process that has closed its files on the way out is a zombie, or gone."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def released(fd, condition, who, pid):
    state = "while running" if running(pid) else "at exit"
    events.write(f"released\t{who}\t{state}\n")
    os.close(fd)
    return False


class Manager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="ssss",
                         out_signature="h", sender_keyword="sender")
    def Inhibit(self, what, who, why, mode, sender):
        daemon = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
        pid = int(daemon.GetConnectionUnixProcessID(sender, dbus_interface="org.freedesktop.DBus"))
        read_end, write_end = os.pipe()
        GLib.io_add_watch(read_end, GLib.IO_HUP, released, str(who), pid)
        events.write(f"inhibit\t{what}\t{who}\t{why}\t{mode}\n")
        # The lock is the write end: it lasts until the caller's last copy is closed.
        lock = dbus.types.UnixFd(write_end)
        os.close(write_end)
        return lock


name = dbus.service.BusName("org.freedesktop.login1", bus)
manager = Manager(bus, "/org/freedesktop/login1")
events.write("ready\n")
GLib.MainLoop().run()
