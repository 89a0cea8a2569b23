#!/usr/bin/python3
"""A fake desktop notification server on the session bus that DBUS_SESSION_BUS_ADDRESS names: it owns
org.freedesktop.Notifications and appends "summary<TAB>body" for each Notify call to the file named by its
argument. It prints "ready" once it owns the name."""
import os
import sys

import dbus
import dbus.service

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import fake_service  # noqa: E402

NOTIFICATIONS = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.record = record
        self.count = 0

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        with open(self.record, "a", encoding="utf-8") as out:
            out.write("%s\t%s\n" % (summary, body))
        self.count += 1
        return dbus.UInt32(self.count)


def main():
    fake_service.serve(dbus.SessionBus, NOTIFICATIONS, lambda bus: Notifications(bus, sys.argv[1]))


if __name__ == "__main__":
    sys.exit(main())
