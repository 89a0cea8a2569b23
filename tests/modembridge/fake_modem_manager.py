#!/usr/bin/python3
"""A fake ModemManager for the bridge's tests, on the system bus that DBUS_SYSTEM_BUS_ADDRESS names.

It owns org.freedesktop.ModemManager1 and serves what the bridge uses: the ObjectManager at
/org/freedesktop/ModemManager1 (GetManagedObjects, InterfacesAdded, InterfacesRemoved), one modem with the
Messaging interface (List, Delete, the Added and Deleted signals) and SMS objects with their properties
(GetAll, PropertiesChanged). Like the real one, it also announces every change of the modem's Messages
list with PropertiesChanged on the modem, so a burst of n messages sends n ever longer lists. The tests
drive it through app.quell.test.FakeModemManager on the same path: AddSms, AddCopies, AddStatusReport,
AddMany, SetState, AddModem, RemoveModem, Repair, RefuseDelete, Stored. It prints "ready" once it owns the name."""
import os
import sys
import time

import dbus
import dbus.service
from gi.repository import GLib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import fake_service  # noqa: E402

MANAGER = "org.freedesktop.ModemManager1"
MANAGER_PATH = "/org/freedesktop/ModemManager1"
MODEM_PATH = MANAGER_PATH + "/Modem/0"
MESSAGING = "org.freedesktop.ModemManager1.Modem.Messaging"
SMS = "org.freedesktop.ModemManager1.Sms"
PROPERTIES = "org.freedesktop.DBus.Properties"
OBJECT_MANAGER = "org.freedesktop.DBus.ObjectManager"
MODEM = "org.freedesktop.ModemManager1.Modem"
CONTROL = "app.quell.test.FakeModemManager"
UNAUTHORIZED = "org.freedesktop.ModemManager1.Error.Core.Unauthorized"


class Sms(dbus.service.Object):
    def __init__(self, bus, path, properties, broken):
        super().__init__(bus, path)
        self.properties = properties
        self.broken = broken

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        if self.broken:
            raise dbus.exceptions.DBusException("the SMS cannot be read", name="org.freedesktop.DBus.Error.Failed")
        return self.properties if interface == SMS else {}

    @dbus.service.signal(PROPERTIES, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changed, invalidated):
        pass


class Modem(dbus.service.Object):
    def __init__(self, bus, path, manager):
        super().__init__(bus, path)
        self.manager = manager

    @dbus.service.method(MESSAGING, in_signature="", out_signature="ao")
    def List(self):
        return [dbus.ObjectPath(p) for p in self.manager.messages]

    @dbus.service.method(MESSAGING, in_signature="o", out_signature="")
    def Delete(self, path):
        if self.manager.refuse_delete:  # as polkit refuses a caller outside an active session
            raise dbus.exceptions.DBusException("Not authorized to delete messages", name=UNAUTHORIZED)
        sms = self.manager.messages.pop(str(path), None)
        if sms is None:
            raise dbus.exceptions.DBusException("no such SMS", name="org.freedesktop.ModemManager1.Error.Core.NotFound")
        sms.remove_from_connection()
        self.Deleted(path)
        self.messages_changed()

    @dbus.service.signal(MESSAGING, signature="ob")
    def Added(self, path, received):
        pass

    @dbus.service.signal(MESSAGING, signature="o")
    def Deleted(self, path):
        pass

    @dbus.service.signal(PROPERTIES, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changed, invalidated):
        pass

    def messages_changed(self):
        paths = dbus.Array([dbus.ObjectPath(p) for p in self.manager.messages], signature="o")
        self.PropertiesChanged(MESSAGING, {"Messages": paths}, dbus.Array([], signature="s"))


class Manager(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, MANAGER_PATH)
        self.bus = bus
        self.messages = {}
        self.count = 0
        self.refuse_delete = False
        self.modem = Modem(bus, MODEM_PATH, self)

    @dbus.service.method(OBJECT_MANAGER, in_signature="", out_signature="a{oa{sa{sv}}}")
    def GetManagedObjects(self):
        if self.modem is None:
            return {}
        return {dbus.ObjectPath(MODEM_PATH): {MESSAGING: {}, MODEM: {"DeviceIdentifier": "fake-modem-0"}}}

    @dbus.service.signal(OBJECT_MANAGER, signature="oa{sa{sv}}")
    def InterfacesAdded(self, path, interfaces):
        pass

    @dbus.service.signal(OBJECT_MANAGER, signature="oas")
    def InterfacesRemoved(self, path, interfaces):
        pass

    def timestamp(self):
        """A distinct time for each message, a second apart, as a modem stamps them."""
        seconds = self.count + int(time.time()) % 100000
        return "2026-12-07T%02d:%02d:%02d+08:00" % (seconds // 3600 % 24, seconds // 60 % 60, seconds % 60)

    def add(self, number, text, state, data, broken, announce, timestamp=None, pdu_type=1):
        self.count += 1
        path = "%s/SMS/%d" % (MANAGER_PATH, self.count)
        properties = {"Number": dbus.String(number), "Text": dbus.String(text), "State": dbus.UInt32(state),
                      "Data": dbus.ByteArray(bytes(data)), "PduType": dbus.UInt32(pdu_type),
                      "Timestamp": dbus.String(timestamp if timestamp is not None else self.timestamp())}
        self.messages[path] = Sms(self.bus, path, properties, broken)
        if announce and self.modem is not None:
            self.modem.Added(dbus.ObjectPath(path), state == 3)
            self.modem.messages_changed()
        return dbus.ObjectPath(path)

    @dbus.service.method(CONTROL, in_signature="ssuaybb", out_signature="o")
    def AddSms(self, number, text, state, data, broken, announce):
        return self.add(number, text, state, data, broken, announce)

    @dbus.service.method(CONTROL, in_signature="ssu", out_signature="ao")
    def AddCopies(self, number, text, count):
        """count identical received messages: the same sender, text and time."""
        stamp = self.timestamp()
        return [self.add(number, text, 3, [], False, True, stamp) for _ in range(count)]

    @dbus.service.method(CONTROL, in_signature="s", out_signature="o")
    def AddStatusReport(self, number):
        """A delivery report for a message sent to number: no text, PDU type 3."""
        return self.add(number, "", 3, [], False, True, pdu_type=3)

    @dbus.service.method(CONTROL, in_signature="ssu", out_signature="")
    def AddMany(self, number, text, count):
        """A burst: count received messages, each announced, one at a time as the modem hands them over,
        with the bridge's calls answered in between."""
        numbers = iter(range(count))

        def next_message():
            i = next(numbers, None)
            if i is None:
                return False
            self.add("%s%d" % (number, i), text, 3, [], False, True)
            return True

        GLib.idle_add(next_message)

    @dbus.service.method(CONTROL, in_signature="o", out_signature="")
    def Repair(self, path):
        """The properties of a broken SMS can be read from now on."""
        self.messages[str(path)].broken = False

    @dbus.service.method(CONTROL, in_signature="b", out_signature="")
    def RefuseDelete(self, refuse):
        self.refuse_delete = refuse

    @dbus.service.method(CONTROL, in_signature="ou", out_signature="")
    def SetState(self, path, state):
        sms = self.messages[str(path)]
        sms.properties["State"] = dbus.UInt32(state)
        sms.PropertiesChanged(SMS, {"State": dbus.UInt32(state)}, [])

    @dbus.service.method(CONTROL, in_signature="", out_signature="")
    def RemoveModem(self):
        if self.modem is not None:
            self.modem.remove_from_connection()
            self.modem = None
            self.InterfacesRemoved(dbus.ObjectPath(MODEM_PATH), [MESSAGING])

    @dbus.service.method(CONTROL, in_signature="", out_signature="")
    def AddModem(self):
        if self.modem is None:
            self.modem = Modem(self.bus, MODEM_PATH, self)
            self.InterfacesAdded(dbus.ObjectPath(MODEM_PATH), {MESSAGING: {}, MODEM: {"DeviceIdentifier": "fake-modem-0"}})

    @dbus.service.method(CONTROL, in_signature="", out_signature="ao")
    def Stored(self):
        return [dbus.ObjectPath(p) for p in self.messages]


def main():
    fake_service.serve(dbus.SystemBus, MANAGER, Manager)


if __name__ == "__main__":
    sys.exit(main())
