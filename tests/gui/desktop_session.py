"""A private desktop for driving a Qt program from outside its process, the
way a user and a screen reader meet it: a virtual X server, a session bus,
the accessibility bus, a window manager and a system tray. Controls are found
by role and accessible name; nothing reaches the real home folder or the
developer's session, and every process started here is ended on exit.

    with DesktopSession(artefacts) as desktop:
        app = desktop.launch([program])
        app.press(app.find("push button", "Choose…"))

One session per process: libatspi binds to the first bus it sees.
"""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

# Generous: the machine's two cores are shared with other tests.
TIMEOUT = 30.0
SKIP = 77  # ctest's SKIP_RETURN_CODE for the tests built on this module


class StepFailed(AssertionError):
    pass


def wait_until(what, probe, timeout=TIMEOUT):
    """Polls `probe` until it returns something truthy and returns that,
    letting AT-SPI events in between. An AT-SPI or tool error counts as "not
    yet": objects come and go while a window changes."""
    deadline = time.monotonic() + timeout
    context = GLib.MainContext.default()
    while True:
        while context.pending():
            context.iteration(False)
        try:
            result = probe()
        except (GLib.Error, subprocess.CalledProcessError):
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise StepFailed(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.05)


def until_answered(what, act, answer, interval=2.0):
    """Repeats `act` every `interval` seconds until `answer()` is truthy and
    returns that: for input a program may swallow, such as the first click
    after a dialog closed or a click while a window activates itself."""
    last = [-interval]

    def probe():
        result = answer()
        if not result and time.monotonic() - last[0] >= interval:
            act()
            last[0] = time.monotonic()
        return result

    return wait_until(what, probe)


def run_tool(*argv):
    return subprocess.run([str(a) for a in argv], check=True, capture_output=True, text=True,
                          timeout=TIMEOUT).stdout


def click_at(x, y, button=1):
    # No --sync: it can wait many seconds when the pointer is already there.
    run_tool("xdotool", "mousemove", x, y, "click", button)


class DesktopSession:
    def __init__(self, artefacts):
        """`artefacts` receives the helpers' logs and the screenshots."""
        self.artefacts = Path(artefacts)
        self._processes = []
        self._root = None

    def __enter__(self):
        shutil.rmtree(self.artefacts, ignore_errors=True)
        self.artefacts.mkdir(parents=True)
        self._root = Path(tempfile.mkdtemp(prefix="quillfen-gui-"))
        # Orphans of our helpers (the bus-activated registry) become our
        # children, so they can be reaped rather than left as zombies.
        ctypes.CDLL(None).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER
        try:
            self._isolate_environment()
            self._start_display()
            self._start_session_bus()
            self._start_accessibility_bus()
            self._start_window_manager()
            self._start_tray()
            Atspi.init()
        except BaseException:
            self._teardown()
            raise
        return self

    def __exit__(self, kind, error, trace):
        if error is not None:
            try:
                print(f"screenshot of the failure: {self.screenshot('failure')}; "
                      f"logs beside it")
            except Exception as problem:  # the display itself may be gone
                print(f"no screenshot: {problem}")
        self._teardown()

    def launch(self, argv):
        """Starts a Qt program on this desktop and waits until its
        application object is in the accessibility tree."""
        # Qt 6.4 never registers in the tree when it is handed the
        # accessibility bus's address: it must ask the session bus itself.
        env = {k: v for k, v in os.environ.items() if k != "AT_SPI_BUS_ADDRESS"}
        program = Path(argv[0]).resolve() if "/" in argv[0] else argv[0]
        app = App(self, self._spawn(Path(argv[0]).name, [program, *argv[1:]], env=env,
                                    cwd=self.home))
        wait_until(f"{argv[0]} in the accessibility tree", app.root)
        return app

    def screenshot(self, name):
        path = self.artefacts / f"{name}.png"
        run_tool("import", "-window", "root", path)
        return path

    def colours_in(self, x, y, width, height):
        """How many distinct colours the screen shows in an area: a window is
        in the tree before it is painted."""
        area = f"{width}x{height}+{x}+{y}"
        return int(run_tool("import", "-window", "root", "-crop", area, "-format", "%k", "info:"))

    # Start-up, in the order the parts depend on each other.

    def _isolate_environment(self):
        env = os.environ
        self.home = home = self._root / "home"
        for name, folder in (("HOME", ""), ("XDG_CONFIG_HOME", ".config"),
                             ("XDG_DATA_HOME", ".local/share"), ("XDG_CACHE_HOME", ".cache"),
                             ("XDG_STATE_HOME", ".local/state")):
            (home / folder).mkdir(parents=True, exist_ok=True)
            env[name] = str(home / folder)
        runtime = self._root / "runtime"
        runtime.mkdir(mode=0o700)
        env["XDG_RUNTIME_DIR"] = str(runtime)
        for name in ("WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                     "XDG_SESSION_TYPE", "QT_QPA_PLATFORMTHEME", "AT_SPI_BUS_ADDRESS",
                     "SESSION_MANAGER"):
            env.pop(name, None)
        env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")

    def _start_display(self):
        number = self._spawn_and_read("Xvfb", ["Xvfb", "-displayfd", "{fd}", "-screen", "0",
                                               "1280x800x24", "-nolisten", "tcp", "-noreset"])
        os.environ["DISPLAY"] = f":{number}"

    def _start_session_bus(self):
        socket = self._root / "bus"
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self._spawn_and_read(
            "dbus-daemon", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                            f"--address=unix:path={socket}", "--print-address={fd}"])

    def _start_accessibility_bus(self):
        # Qt does not start it; without it the program never appears.
        self._spawn("at-spi-bus-launcher", ["/usr/libexec/at-spi-bus-launcher",
                                            "--launch-immediately", "--a11y=1"])
        bus = Gio.DBusConnection.new_for_address_sync(
            os.environ["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
            | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)

        def address():
            # No auto-start: activation would start a launcher outside our sessions.
            reply = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                  None, GLib.VariantType("(s)"),
                                  Gio.DBusCallFlags.NO_AUTO_START, 2000, None)
            return reply.unpack()[0]

        os.environ["AT_SPI_BUS_ADDRESS"] = wait_until("the accessibility bus", address)
        bus.close_sync(None)

    def _start_window_manager(self):
        self._spawn("openbox", ["openbox", "--sm-disable"])
        wait_until("the window manager", lambda: "window id" in run_tool(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))

    def _start_tray(self):
        self._spawn("trayer", ["trayer", "--edge", "top", "--align", "right",
                               "--widthtype", "request", "--height", "32"])
        wait_until("the system tray", lambda: _selection_owner("_NET_SYSTEM_TRAY_S0"))

    # Processes: each in a session of its own, so teardown finds whatever
    # it left behind.

    def _spawn(self, name, argv, pass_fds=(), env=None, cwd=None):
        log = open(self.artefacts / f"{name}.log", "ab")
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log,
                                   stderr=subprocess.STDOUT, pass_fds=pass_fds, env=env,
                                   cwd=cwd, start_new_session=True)
        log.close()
        self._processes.append(process)
        return process

    def _spawn_and_read(self, name, argv):
        """Starts a helper that announces readiness by writing one line to a
        descriptor, and returns that line."""
        reading, writing = os.pipe()
        try:
            self._spawn(name, [a.replace("{fd}", str(writing)) for a in argv], (writing,))
            os.close(writing)
            writing = None
            # The line may come in pieces; closing early would fail the writer.
            line = b""
            while not line.endswith(b"\n"):
                if not select.select([reading], [], [], TIMEOUT)[0]:
                    raise StepFailed(f"{name} did not start within {TIMEOUT:.0f} s")
                piece = os.read(reading, 4096)
                if not piece:
                    raise StepFailed(f"{name} exited: see {self.artefacts / name}.log")
                line += piece
            return line.decode().strip()
        finally:
            os.close(reading)
            if writing is not None:
                os.close(writing)

    def _teardown(self):
        for process in reversed(self._processes):
            _stop(process)
        _sweep({process.pid for process in self._processes})
        self._processes.clear()
        shutil.rmtree(self._root, ignore_errors=True)


def _stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def _sweep(sessions):
    """Ends the processes still in our helpers' sessions, then reaps them."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        left = _session_members(sessions)
        for pid in left:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + 3
        while left and time.monotonic() < deadline:
            _reap()
            time.sleep(0.05)
            left = _session_members(sessions)
    _reap()


def _session_members(sessions):
    members = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        if fields[0] != "Z" and int(fields[3]) in sessions:
            members.append(int(entry.name))
    return members


def _reap():
    try:
        while os.waitpid(-1, os.WNOHANG)[0] > 0:
            pass
    except ChildProcessError:
        pass


def _selection_owner(name):
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetSelectionOwner.restype = ctypes.c_ulong
    x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        return 0
    try:
        return x11.XGetSelectionOwner(display, x11.XInternAtom(display, name.encode(), 0))
    finally:
        x11.XCloseDisplay(display)


class App:
    """The program under test, seen through the accessibility bus."""

    def __init__(self, desktop, process):
        self.desktop = desktop
        self.process = process

    def root(self):
        desktop = Atspi.get_desktop(0)
        for index in range(desktop.get_child_count()):
            child = desktop.get_child_at_index(index)
            if child is not None and child.get_process_id() == self.process.pid:
                return child
        if self.process.poll() is not None:
            raise StepFailed(f"the program exited with status {self.process.returncode}")
        return None

    def find_all(self, role, name, within=None):
        """Showing objects of `role` (its AT-SPI name, "push button") whose
        accessible name is `name`, or satisfies it when it is callable."""
        matches = callable(name) and name or (lambda text: text == name)
        top = within or self.root()
        top.clear_cache()
        found = []
        pending = [top]
        while pending:
            node = pending.pop()
            if node is None:  # gone since its parent listed it
                continue
            if node.get_role_name() == role and matches(node.get_name() or "") \
                    and node.get_state_set().contains(Atspi.StateType.SHOWING):
                found.append(node)
            pending.extend(reversed([node.get_child_at_index(i)
                                     for i in range(node.get_child_count())]))
        return found

    def find(self, role, name, within=None, timeout=TIMEOUT):
        described = name if isinstance(name, str) else "<a matching name>"
        return wait_until(f'{role} "{described}"',
                          lambda: next(iter(self.find_all(role, name, within)), None), timeout)

    def has_state(self, node, state):
        node.clear_cache()
        return node.get_state_set().contains(state)

    def wait_state(self, node, state, timeout=TIMEOUT):
        wait_until(f'"{node.get_name()}" to be {state.value_nick}',
                   lambda: self.has_state(node, state), timeout)

    def act(self, node, action):
        """Runs a named action ("Press", "Toggle"); it returns before the
        program has acted, so wait for the outcome."""
        names = [node.get_action_name(i) for i in range(node.get_n_actions())]
        if action not in names:
            raise StepFailed(f'"{node.get_name()}" has no action {action}, only {names}')
        node.do_action(names.index(action))

    def press(self, node):
        self.wait_state(node, Atspi.StateType.ENABLED)
        self.act(node, "Press")

    def toggle(self, node):
        self.act(node, "Toggle")

    def type_into(self, node, text):
        """Types into a field as a person does: click it until it has the
        focus, select what is there, type over it. A window that activates
        itself can take the focus away mid-word, so this repeats until the
        field reads `text`."""
        x, y, width, height = self.wait_painted(node)

        def retype():
            until_answered(f'"{node.get_name()}" to take the focus',
                           lambda: click_at(x + width // 2, y + height // 2),
                           lambda: self.has_state(node, Atspi.StateType.FOCUSED))
            self.keys("ctrl+a")
            run_tool("xdotool", "type", "--delay", "10", text)

        until_answered(f'"{node.get_name()}" to read "{text}"', retype,
                       lambda: node.get_text(0, -1) == text, interval=3)

    def keys(self, *names):
        run_tool("xdotool", "key", "--clearmodifiers", *names)

    def wait_painted(self, node):
        def area():
            box = node.get_extents(Atspi.CoordType.SCREEN)
            shown = box.width > 0 and self.desktop.colours_in(box.x, box.y, box.width,
                                                              box.height) > 2
            return shown and (box.x, box.y, box.width, box.height)

        return wait_until(f'"{node.get_name()}" to be painted', area)

    def tray_menu(self):
        """Opens the tray icon's menu with a right click and returns it.
        Popups are not children of the application in the tree; they
        announce themselves by becoming showing."""
        x, y, width, height = wait_until("the tray icon", self._tray_icon)
        shown = []
        listener = Atspi.EventListener.new(
            lambda event: event.detail1 and shown.append(event.source))
        listener.register("object:state-changed:showing")

        def menu():
            return next((source for source in shown
                         if source.get_role() == Atspi.Role.POPUP_MENU
                         and source.get_process_id() == self.process.pid
                         and self.has_state(source, Atspi.StateType.SHOWING)), None)

        try:
            return until_answered("the tray menu",
                                  lambda: click_at(x + width // 2, y + height // 2, 3), menu)
        finally:
            listener.deregister("object:state-changed:showing")

    def _tray_icon(self):
        """The program's small viewable window that sits in the tray."""
        listed = subprocess.run(["xdotool", "search", "--pid", str(self.process.pid)],
                                capture_output=True, text=True).stdout.split()
        for window in listed:
            info = dict(line.strip().split(": ", 1) for line in
                        run_tool("xwininfo", "-id", window).splitlines() if ": " in line)
            size = int(info["Width"]), int(info["Height"])
            if info["Map State"] == "IsViewable" and max(size) <= 64:
                return (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                        *size)
        return None

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise StepFailed(f"the program did not exit within {timeout:.0f} s") from None
