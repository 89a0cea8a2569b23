"""What every fake system service of the tests does once it is built: owns its name on its bus, says
"ready" on standard output (the tests wait for that line), and serves until it is killed."""
import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


def serve(bus_kind, name, make_service):
    """bus_kind is dbus.SystemBus or dbus.SessionBus; make_service(bus) builds the service's objects."""
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = bus_kind()
    service = make_service(bus)
    owned = dbus.service.BusName(name, bus, do_not_queue=True)
    print("ready", flush=True)
    try:
        GLib.MainLoop().run()
    finally:
        del owned, service
