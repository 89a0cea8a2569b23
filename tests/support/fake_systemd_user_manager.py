#!/usr/bin/python3
"""A fake systemd user manager, on the session bus that DBUS_SESSION_BUS_ADDRESS names.

It owns org.freedesktop.systemd1 and serves, for one unit, what Quellbox's settings page uses of the manager
at /org/freedesktop/systemd1 (org.freedesktop.systemd1.Manager: LoadUnit, GetUnitFileState,
EnableUnitFiles, DisableUnitFiles, Reload, StartUnit, StopUnit, Subscribe, Unsubscribe and the JobRemoved
signal) and of the unit's object (org.freedesktop.DBus.Properties: GetAll and Get of
org.freedesktop.systemd1.Unit, and PropertiesChanged). It answers as systemd does: the errors a missing or
masked unit file gives, a start job that ends after StartUnit has answered, and signals sent only while a
client is subscribed.

    fake_systemd_user_manager.py UNIT [--installed] [--enabled] [--active] [--masked]

Tests steer it through app.quell.test.FakeSystemd on the manager's path:
    Fail(method, error_name, message)   the next call of method fails with that error
    FailNextStart()                     the next start job ends "failed" and leaves the unit failed
    Hold(method), Release(method)       answers to method wait until it is released
    SetActiveState(state)               the unit changes state by itself (a crash, a restart)
    State() -> (ss)                     the unit file state and the active state
    Calls() -> as                       the manager's methods called so far, in order
It prints "ready" once it owns the name."""
import sys

import dbus
import dbus.service
from gi.repository import GLib

import fake_service

NAME = "org.freedesktop.systemd1"
MANAGER_PATH = "/org/freedesktop/systemd1"
MANAGER = "org.freedesktop.systemd1.Manager"
UNIT = "org.freedesktop.systemd1.Unit"
PROPERTIES = "org.freedesktop.DBus.Properties"
CONTROL = "app.quell.test.FakeSystemd"


def unit_path(name):
    """The object path systemd gives a unit: every byte but letters and digits escaped as _xx."""
    return MANAGER_PATH + "/unit/" + "".join(c if c.isalnum() else "_%02x" % ord(c) for c in name)


def error(name, message):
    return dbus.exceptions.DBusException(message, name=name)


class Unit(dbus.service.Object):
    def __init__(self, bus, manager):
        super().__init__(bus, unit_path(manager.unit))
        self.manager = manager

    def properties(self):
        m = self.manager
        load = "masked" if m.file_state == "masked" else ("loaded" if m.installed else "not-found")
        return {"Id": dbus.String(m.unit), "LoadState": dbus.String(load), "ActiveState": dbus.String(m.active),
                "SubState": dbus.String("running" if m.active == "active" else "dead"),
                "UnitFileState": dbus.String(m.file_state if m.installed else "")}

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties() if interface == UNIT else {}

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.properties()[name]

    @dbus.service.signal(PROPERTIES, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changed, invalidated):
        pass


class Manager(dbus.service.Object):
    def __init__(self, bus, unit, installed, enabled, active, masked):
        super().__init__(bus, MANAGER_PATH)
        self.bus = bus
        self.unit = unit
        self.installed = installed
        self.file_state = "masked" if masked else ("enabled" if enabled else "disabled")
        self.active = "active" if active else "inactive"
        self.subscribers = set()
        self.failures = {}
        self.held = set()
        self.waiting = []  # (method, answer) held back
        self.calls = []
        self.jobs = 0
        self.fail_next_start = False
        self.unit_object = Unit(bus, self)
        bus.add_signal_receiver(self.owner_changed, "NameOwnerChanged", "org.freedesktop.DBus")

    def owner_changed(self, name, old, new):
        if not new:
            self.subscribers.discard(name)  # systemd forgets a client that left the bus

    def answer(self, method, ok, err, work):
        """Runs work (which returns the reply's arguments or raises) now, or when method is released."""
        self.calls.append(method)

        def run():
            if method in self.failures:
                err(self.failures.pop(method))
                return
            try:
                ok(*work())
            except dbus.exceptions.DBusException as e:
                err(e)

        if method in self.held:
            self.waiting.append((method, run))
        else:
            run()

    def set_active(self, state):
        self.active = state
        if self.subscribers:
            self.unit_object.PropertiesChanged(UNIT, {"ActiveState": dbus.String(state)}, dbus.Array([], "s"))

    def check_file(self):
        if not self.installed:
            raise error("org.freedesktop.DBus.Error.FileNotFound", "Unit file %s does not exist." % self.unit)

    def queue_job(self, end_state, result):
        """A job that ends after its method has answered, as systemd runs jobs from its event loop."""
        self.jobs += 1
        job = dbus.ObjectPath("%s/job/%d" % (MANAGER_PATH, self.jobs))

        def finish(number=self.jobs):
            self.set_active(end_state)
            if self.subscribers:
                self.JobRemoved(dbus.UInt32(number), job, self.unit, result)
            return False

        GLib.idle_add(finish)
        return job

    @dbus.service.method(MANAGER, in_signature="s", out_signature="o", async_callbacks=("ok", "err"))
    def LoadUnit(self, name, ok, err):
        self.answer("LoadUnit", ok, err, lambda: (dbus.ObjectPath(unit_path(name)),))

    @dbus.service.method(MANAGER, in_signature="s", out_signature="s", async_callbacks=("ok", "err"))
    def GetUnitFileState(self, name, ok, err):
        def work():
            if not self.installed:
                raise error("org.freedesktop.DBus.Error.FileNotFound", "No such file or directory")
            return (self.file_state,)
        self.answer("GetUnitFileState", ok, err, work)

    @dbus.service.method(MANAGER, in_signature="asbb", out_signature="ba(sss)", async_callbacks=("ok", "err"))
    def EnableUnitFiles(self, files, runtime, force, ok, err):
        def work():
            self.check_file()
            if self.file_state == "masked":
                raise error("org.freedesktop.systemd1.UnitMasked", "Unit file %s is masked." % self.unit)
            changes = dbus.Array([], "(sss)")
            if self.file_state != "enabled":
                link = "/home/user/.config/systemd/user/default.target.wants/" + self.unit
                changes.append(dbus.Struct(("symlink", link, "/usr/share/systemd/user/" + self.unit)))
            self.file_state = "enabled"
            return (True, changes)
        self.answer("EnableUnitFiles", ok, err, work)

    @dbus.service.method(MANAGER, in_signature="asb", out_signature="a(sss)", async_callbacks=("ok", "err"))
    def DisableUnitFiles(self, files, runtime, ok, err):
        def work():
            self.check_file()
            if self.file_state == "enabled":
                self.file_state = "disabled"
            return (dbus.Array([], "(sss)"),)
        self.answer("DisableUnitFiles", ok, err, work)

    @dbus.service.method(MANAGER, in_signature="", out_signature="", async_callbacks=("ok", "err"))
    def Reload(self, ok, err):
        self.answer("Reload", ok, err, lambda: ())

    @dbus.service.method(MANAGER, in_signature="ss", out_signature="o", async_callbacks=("ok", "err"))
    def StartUnit(self, name, mode, ok, err):
        def work():
            if not self.installed:
                raise error("org.freedesktop.systemd1.NoSuchUnit", "Unit %s not found." % name)
            failing, self.fail_next_start = self.fail_next_start, False
            return (self.queue_job("failed" if failing else "active", "failed" if failing else "done"),)
        self.answer("StartUnit", ok, err, work)

    @dbus.service.method(MANAGER, in_signature="ss", out_signature="o", async_callbacks=("ok", "err"))
    def StopUnit(self, name, mode, ok, err):
        def work():
            if not self.installed:
                raise error("org.freedesktop.systemd1.NoSuchUnit", "Unit %s not loaded." % name)
            return (self.queue_job("inactive", "done"),)
        self.answer("StopUnit", ok, err, work)

    @dbus.service.method(MANAGER, in_signature="", out_signature="", sender_keyword="sender")
    def Subscribe(self, sender):
        self.calls.append("Subscribe")
        if sender in self.subscribers:
            raise error("org.freedesktop.systemd1.AlreadySubscribed", "Client is already subscribed.")
        self.subscribers.add(sender)

    @dbus.service.method(MANAGER, in_signature="", out_signature="", sender_keyword="sender")
    def Unsubscribe(self, sender):
        self.calls.append("Unsubscribe")
        if sender not in self.subscribers:
            raise error("org.freedesktop.systemd1.NotSubscribed", "Client is not subscribed.")
        self.subscribers.discard(sender)

    @dbus.service.signal(MANAGER, signature="uoss")
    def JobRemoved(self, number, job, unit, result):
        pass

    @dbus.service.method(CONTROL, in_signature="sss", out_signature="")
    def Fail(self, method, name, message):
        self.failures[method] = error(name, message)

    @dbus.service.method(CONTROL, in_signature="", out_signature="")
    def FailNextStart(self):
        self.fail_next_start = True

    @dbus.service.method(CONTROL, in_signature="s", out_signature="")
    def Hold(self, method):
        self.held.add(method)

    @dbus.service.method(CONTROL, in_signature="s", out_signature="")
    def Release(self, method):
        self.held.discard(method)
        for held, run in [w for w in self.waiting if w[0] == method]:
            self.waiting.remove((held, run))
            run()

    @dbus.service.method(CONTROL, in_signature="s", out_signature="")
    def SetActiveState(self, state):
        self.set_active(state)

    @dbus.service.method(CONTROL, in_signature="", out_signature="ss")
    def State(self):
        return self.file_state, self.active

    @dbus.service.method(CONTROL, in_signature="", out_signature="as")
    def Calls(self):
        return self.calls


def main():
    args = sys.argv[1:]
    if not args or args[0].startswith("-"):
        print(__doc__, file=sys.stderr)
        return 2
    flags = {flag: f"--{flag}" in args for flag in ("installed", "enabled", "active", "masked")}
    fake_service.serve(dbus.SessionBus, NAME,
                       lambda bus: Manager(bus, args[0], flags["installed"], flags["enabled"], flags["active"],
                                           flags["masked"]))


if __name__ == "__main__":
    sys.exit(main())
