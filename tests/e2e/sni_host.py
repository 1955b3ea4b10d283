#!/usr/bin/python3
"""A stand-in for a desktop's notification area speaking StatusNotifierItem, driving the real
program: it owns the watcher and a host on the session bus, starts the program, and checks its
item, tooltip, activation and dbusmenu pop-up menu as a desktop would use them.

Usage: sni_host.py PROGRAM SKIN_FOLDER STORE [--window-checks | --host-later | --come-and-go]
Run it inside dbus-run-session, with the program's settings pointing at STORE and a delay of
0.1 minute saved there. With --window-checks (X11), the main window is looked at with xdotool.
With --host-later the host appears only after the program has started. With --come-and-go (X11,
"Start in system tray" saved on) the host leaves and comes back while the program runs, and the
program is started a second time, normally and with /O.
"""

import os
import re
import subprocess
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""
POPUP = ["Start in system tray", "Run at startup", "Settings", "Terminate"]

failures = []


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    failures.append(message)


def ok(message):
    print("ok: " + message)


class Watcher:
    def __init__(self, bus):
        self.bus = bus
        self.items = []
        info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
        bus.register_object("/StatusNotifierWatcher", info, self.call, self.get, None)
        self.name_id = Gio.bus_own_name_on_connection(
            bus, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE, None, None)
        # The host is this process too: a desktop's panel registers itself the same way.
        Gio.bus_own_name_on_connection(
            bus, "org.kde.StatusNotifierHost-%d" % os.getpid(), Gio.BusNameOwnerFlags.NONE,
            None, None)

    def call(self, conn, sender, path, iface, method, params, invocation):
        if method == "RegisterStatusNotifierItem":
            service = params.unpack()[0]
            # Items name either their bus name or their object path.
            item = (sender, service) if service.startswith("/") else (service, "/StatusNotifierItem")
            self.items.append(item)
            conn.emit_signal(None, path, iface, "StatusNotifierItemRegistered",
                             GLib.Variant("(s)", (item[0] + item[1],)))
        invocation.return_value(None)

    def get(self, conn, sender, path, iface, prop):
        if prop == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", [bus + p for bus, p in self.items])
        if prop == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", True)
        return GLib.Variant("i", 0)

    def leave(self):
        Gio.bus_unown_name(self.name_id)

    def come_back(self):
        # A restarted panel knows no item until each registers again.
        self.items = []
        self.name_id = Gio.bus_own_name_on_connection(
            self.bus, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE, None, None)


def pump(seconds, until=lambda: False):
    """Runs the bus's events for up to `seconds`; True as soon as until() holds."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        if until():
            return True
        time.sleep(0.05)
    return until()


def call(bus, item, path, iface, method, args, reply):
    result = bus.call_sync(item[0], path, iface, method, args, GLib.VariantType(reply),
                           Gio.DBusCallFlags.NONE, 5000, None)
    return result.unpack()


def prop(bus, item, name):
    return call(bus, item, item[1], "org.freedesktop.DBus.Properties", "Get",
                GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", name)), "(v)")[0]


def menu_items(bus, item, menu_path):
    call(bus, item, menu_path, "com.canonical.dbusmenu", "AboutToShow",
         GLib.Variant("(i)", (0,)), "(b)")
    _, layout = call(bus, item, menu_path, "com.canonical.dbusmenu", "GetLayout",
                     GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
    entries = []
    for child in layout[2]:
        ident, props, _ = child
        if props.get("visible", True) and props.get("type", "standard") != "separator":
            entries.append((ident, props.get("label", ""), props.get("toggle-type", ""),
                            props.get("toggle-state", -1)))
    return entries


def window_state(pid):
    """'shown', 'minimised', 'hidden' or 'none' for the window titled "Quillarbor"."""
    found = subprocess.run(["xdotool", "search", "--all", "--pid", str(pid), "--name",
                            "^Quillarbor$"], capture_output=True, text=True).stdout.split()
    if not found:
        return "none"
    info = subprocess.run(["xwininfo", "-id", found[0]], capture_output=True, text=True).stdout
    wm = subprocess.run(["xprop", "-id", found[0], "WM_STATE"], capture_output=True,
                        text=True).stdout
    if "IsViewable" in info:
        return "shown"
    return "minimised" if "Iconic" in wm else "hidden"


def stored(store, key, name="String"):
    text = open(store, encoding="utf-8", errors="replace").read().replace("\r", "")
    section = re.search(r"^\[%s\]\n((?:[^\[].*\n?)*)" % re.escape(key), text, re.M | re.I)
    if not section:
        return None
    value = re.search(r'^"%s"="(.*)"$' % re.escape(name), section.group(1), re.M | re.I)
    return value.group(1) if value else None


def main():
    program, skins, store = sys.argv[1:4]
    mode = sys.argv[4] if len(sys.argv) > 4 else ""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    watcher = None if mode == "--host-later" else Watcher(bus)
    pump(1, lambda: False)

    log = open(os.path.join(os.path.dirname(store), "sni-program.log"), "w")
    program_run = subprocess.Popen([program], cwd=skins, stdout=log, stderr=log)
    try:
        if mode == "--host-later":
            # As a logon script or an autostart entry does: the panel comes after the program.
            pump(3)
            if program_run.poll() is not None:
                fail("the program ended (%d) while no host was there" % program_run.returncode)
                return 1
            watcher = Watcher(bus)
        if mode == "--come-and-go":
            come_and_go(bus, watcher, program_run, [program], skins, store)
        else:
            check(bus, watcher, program_run, store, mode == "--window-checks")
    finally:
        if program_run.poll() is None:
            program_run.kill()
            program_run.wait()
    if failures:
        print("sni_host: %d check(s) failed" % len(failures))
        return 1
    print("sni_host: all checks passed")
    return 0


def check(bus, watcher, program_run, store, window_checks):
    if not pump(20, lambda: watcher.items):
        fail("the program registered no StatusNotifierItem within 20 seconds")
        return
    item = watcher.items[0]
    ok("the item registered as %s%s" % item)
    if os.environ.get("SNI_SCREENSHOT"):
        pump(2)
        subprocess.run(os.environ["SNI_SCREENSHOT"], shell=True)

    pixmaps = prop(bus, item, "IconPixmap")
    icon_name = prop(bus, item, "IconName")
    if not pixmaps and not icon_name:
        fail("the item shows no icon")
    else:
        ok("the item carries the program's icon (%d pixmaps)" % len(pixmaps))

    # The tooltip's title counts down once a second; with the saved delay of 0.1 minute the first
    # skin comes within 8 seconds, and its long name must leave the seconds in the first 63.
    def seconds_left():
        counting = re.match(r"^(\d+) secs to go", prop(bus, item, "ToolTip")[2])
        return int(counting.group(1)) if counting else -1

    # Watched from the start of a countdown, not across a pick: a host that came late may
    # find one nearly run out.
    pump(10, lambda: seconds_left() >= 4)
    titles = []
    for _ in range(4):
        titles.append(prop(bus, item, "ToolTip")[2])
        pump(1.05)
    seconds = [int(t.split(" ")[0]) for t in titles if re.match(r"^\d+ secs to go\. Last shown: ", t)]
    if len(seconds) != len(titles) or not all(b < a for a, b in zip(seconds, seconds[1:])):
        fail("the tooltip's title does not count down: %r" % titles)
    else:
        ok("the tooltip's title counts down: %r" % titles)
    pump(9)
    title = prop(bus, item, "ToolTip")[2]
    if len(title) > 63 or not re.match(r"^\d+ secs to go\. Last shown: a-skin-with-a-very", title):
        fail("after a skin was applied the title is %r (%d characters)" % (title, len(title)))
    else:
        ok("after a skin with a long name the title keeps 63 characters: %r" % title)

    if window_checks:
        subprocess.run(["xdotool", "search", "--all", "--pid", str(program_run.pid), "--name",
                        "^Quillarbor$", "windowminimize"])
        if not pump(5, lambda: window_state(program_run.pid) == "hidden"):
            fail("minimised with a host, the window is %s, not hidden" % window_state(program_run.pid))
        else:
            ok("minimised while the item is registered, the window hides")
    call(bus, item, item[1], "org.kde.StatusNotifierItem", "Activate",
         GLib.Variant("(ii)", (0, 0)), "()")
    if window_checks:
        if not pump(5, lambda: window_state(program_run.pid) == "shown"):
            fail("Activate left the window %s" % window_state(program_run.pid))
        else:
            ok("Activate (a left click) brings the window back")

    menu_path = prop(bus, item, "Menu")
    if menu_path == "/NO_DBUSMENU":
        fail("the item hands no menu to the host")
        return
    entries = menu_items(bus, item, menu_path)
    labels = [label.replace("&", "") for _, label, _, _ in entries]
    if labels != POPUP:
        fail("the pop-up menu reads %r" % labels)
        return
    checks = [(toggle, state) for _, _, toggle, state in entries[:2]]
    if checks != [("checkmark", 0), ("checkmark", 0)]:
        fail("the two options are not unchecked check marks: %r" % checks)
    else:
        ok("the host reads the four items of the pop-up, the options as check marks")

    ids = {label: entry[0] for entry, label in zip(entries, labels)}
    now = GLib.get_monotonic_time() // 1000

    def click(label):
        call(bus, item, menu_path, "com.canonical.dbusmenu", "Event",
             GLib.Variant("(isvu)", (ids[label], "clicked", GLib.Variant("i", 0), now)), "()")

    click("Start in system tray")
    pump(1)
    state = menu_items(bus, item, menu_path)[0][3]
    if state != 1:
        fail("a click on \"Start in system tray\" left its mark at %r" % state)
    else:
        ok("a click on \"Start in system tray\" through the host checks it")

    if window_checks:
        # With no notification area left, a minimised window must stay where a user finds it.
        watcher.leave()
        pump(1)
        subprocess.run(["xdotool", "search", "--all", "--pid", str(program_run.pid), "--name",
                        "^Quillarbor$", "windowminimize"])
        pump(2)
        if window_state(program_run.pid) != "minimised":
            fail("minimised with no host, the window is %s" % window_state(program_run.pid))
        else:
            ok("minimised once no host is left, the window stays minimised, not hidden")

    terminate(bus, item, menu_path, ids, program_run, store, "True")


def terminate(bus, item, menu_path, ids, program_run, store, systray):
    now = GLib.get_monotonic_time() // 1000
    call(bus, item, menu_path, "com.canonical.dbusmenu", "Event",
         GLib.Variant("(isvu)", (ids["Terminate"], "clicked", GLib.Variant("i", 0), now)), "()")
    # The host keeps answering while the program ends: it asks the watcher on its way out.
    if not pump(10, lambda: program_run.poll() is not None):
        fail("\"Terminate\" clicked through the host did not end the program")
        return
    status = program_run.returncode
    if status != 0:
        fail("after \"Terminate\" the program exited with %d" % status)
    if stored(store, r"HKEY_CURRENT_USER\Software\Quillarbor\systray") != systray:
        fail("after \"Terminate\" the tray flag reads %r" %
             stored(store, r"HKEY_CURRENT_USER\Software\Quillarbor\systray"))
    elif stored(store, r"HKEY_CURRENT_USER\Software\Quillarbor\delay") != "0.1":
        fail("after \"Terminate\" the delay reads %r" %
             stored(store, r"HKEY_CURRENT_USER\Software\Quillarbor\delay"))
    else:
        ok("\"Terminate\" through the host ends the program with its settings saved")


def active_window_pid():
    active = subprocess.run(["xdotool", "getactivewindow", "getwindowpid"], capture_output=True,
                            text=True).stdout.strip()
    return int(active) if active.isdigit() else None


def come_and_go(bus, watcher, program_run, program, skins, store):
    pid = program_run.pid
    if not pump(20, lambda: watcher.items):
        fail("the program registered no StatusNotifierItem within 20 seconds")
        return
    if not pump(5, lambda: window_state(pid) == "hidden"):
        fail("started in the tray with a host, the window is %s" % window_state(pid))
        return
    ok("started in the tray with a host, the item registers and the window is hidden")

    # The panel crashes or is restarted while the window is hidden.
    watcher.leave()
    if not pump(5, lambda: window_state(pid) == "shown"):
        fail("the host left while the window was hidden; the window is %s" % window_state(pid))
    else:
        ok("the host leaves while the window is hidden: the window is shown")
    watcher.come_back()
    if not pump(10, lambda: watcher.items):
        fail("the host came back; the item did not register again within 10 seconds")
        return
    item = watcher.items[0]
    pump(1)
    if window_state(pid) != "shown":
        fail("the host came back; the window is %s, not left shown" % window_state(pid))
    else:
        ok("the host comes back: the item registers again (%s%s), the window stays shown" % item)

    # A second start while the window is hidden in the tray.
    subprocess.run(["xdotool", "search", "--all", "--pid", str(pid), "--name", "^Quillarbor$",
                    "windowminimize"])
    if not pump(5, lambda: window_state(pid) == "hidden"):
        fail("minimised with the host back, the window is %s" % window_state(pid))
    second = subprocess.run(program, cwd=skins, capture_output=True, text=True, timeout=30)
    if second.returncode != 0:
        fail("a second start exited with %d: %s" % (second.returncode, second.stderr))
    elif not pump(5, lambda: window_state(pid) == "shown" and active_window_pid() == pid):
        fail("after a second start the first window is %s, the active window's process %r" %
             (window_state(pid), active_window_pid()))
    elif program_run.poll() is not None:
        fail("a second start ended the first copy")
    else:
        ok("a second start exits 0 and brings the first copy's window forward")

    # A one-shot runs whatever else runs. It keeps its settings apart, so that what it wrote
    # tells it from a start that handed over.
    config = os.path.join(os.path.dirname(os.path.dirname(store)), "one-shot")
    os.makedirs(os.path.join(config, "quillarbor"), exist_ok=True)
    one_shot = subprocess.run(program + ["/O"], cwd=skins, capture_output=True, text=True,
                              timeout=30, env=dict(os.environ, XDG_CONFIG_HOME=config))
    applied = stored(os.path.join(config, "quillarbor", "user.reg"),
                     r"HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Toolbar",
                     "BackBitmapIE5") if os.path.exists(os.path.join(config, "quillarbor",
                                                                     "user.reg")) else None
    if one_shot.returncode != 0 or not (applied or "").endswith(".bmp"):
        fail("/O beside a running copy exited with %d and applied %r: %s" %
             (one_shot.returncode, applied, one_shot.stderr))
    elif program_run.poll() is not None:
        fail("/O beside a running copy ended it")
    else:
        ok("/O runs as a one-shot beside the running copy and applies %s" %
           os.path.basename(applied))

    menu_path = prop(bus, item, "Menu")
    entries = menu_items(bus, item, menu_path)
    ids = {label.replace("&", ""): ident for ident, label, _, _ in entries}
    terminate(bus, item, menu_path, ids, program_run, store, "True")


if __name__ == "__main__":
    sys.exit(main())
