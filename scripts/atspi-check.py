#!/usr/bin/python3
"""Checks Dragon Valley as a screen-reader user meets it, through the Linux
accessibility stack: the real program on a virtual display (Xvfb) with a D-Bus
session of its own and the AT-SPI registry, keys and clicks sent with xdotool
as a user's would be, and what the program shows to assistive technology read
back with Atspi (python3-gi).

    atspi-check.py --program PATH

Checked: the Tab order; a press on the canvas adds an entry to both lists; no
control announces the focus while another one has it (a removal, moving in a
list); placing a point from the keyboard, the entries named as points, the
verdicts in words after "Рицар", and what a removal and clear all say. Each
check starts the program afresh. Exits 1 when a check fails, 2 when the stack
does not come up.

Orca, the screen reader, runs beside the checks with a debug log, and what it
speaks ("SPEECH OUTPUT" in that log) is checked for the verdicts, a removal and
clear all: what a user of this desktop would hear.

It runs itself inside `dbus-run-session`, so it never touches the D-Bus session
or the display of the desktop it is started from.
"""

import argparse
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import tty

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

STORY = "Разказ и задача"
CANVAS = "Платно с долината"
LIST_X = "Списък X"
LIST_Y = "Списък Y"
KNIGHT = "Рицар"
REMOVE = "Без точка"
CLEAR = "Чисти всичко"
ILLUSTRATION = "Илюстрация: дракон и рицар"
CONTROLS = (STORY, CANVAS, LIST_X, LIST_Y, KNIGHT, REMOVE, CLEAR, ILLUSTRATION)

TAB_ORDER = (CANVAS, LIST_X, LIST_Y, KNIGHT, REMOVE, CLEAR, ILLUSTRATION, STORY)

# Keyboard placement on the focused canvas: a key and what it is to make a screen
# reader say. The cursor starts at the centre (250, 250) and moves one pixel of
# the 296-pixel drawing area per arrow key (500/296 canvas units), ten with Shift.
KEYBOARD_STEPS = (
    ("Right", "X 250, Y 250"),        # the first arrow shows the cursor where it stands
    ("Right", "X 252, Y 250"),
    ("shift+Down", "X 252, Y 267"),
    ("Home", "X 250, Y 250"),
    ("Right", "X 252, Y 250"),
)

# Ropes placed with the mouse (canvas units) and the phrase of their verdict. The
# first press lies in the left margin, beside the illustration, and hides it.
# What a removal of point 2 of 3 and clear all are to say, wherever the focus is.
REMOVED_2_OF_3 = "Точка 2 е премахната, остават 2 точки"
REMOVED_1_OF_2 = "Точка 1 е премахната, остава 1 точка"
CLEARED = "Платното и списъците са изчистени"

VERDICT_ROPES = (
    ((10, 150), (490, 150), "успех"),                      # 100 from the centre
    ((10, 60), (490, 60), "твърде далеч от дракона"),      # 190 from the centre
    ((10, 250), (490, 250), "в огъня на дракона"),         # through the centre
    ((300, 100), (300, 400), "край на въжето в долината"),  # both ends in the valley
)

ENTRY_NAME = re.compile(r"^Точка (\d+): -?\d+(,\d+)?$")

EVENT_TYPES = (
    "object:state-changed:focused",
    "object:state-changed:showing",
    "object:property-change:accessible-value",
)


class Failure(Exception):
    pass


def canvas_pixel(x, y):
    """Window pixel of a canvas point: the canvas lies at (8, 32) with a 2-pixel
    border, and its 296 by 296 drawing area is 500 by 500 units."""
    return 10 + round(x * 296 / 500), 34 + round(y * 296 / 500)


def pump(seconds):
    """Lets Atspi deliver events for the given time."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.01)


def wait_for(condition, timeout):
    context = GLib.MainContext.default()
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return True
        if not context.iteration(False):
            time.sleep(0.01)
    return condition()


def safe(call, default=None):
    try:
        return call()
    except GLib.Error:
        return default


def has_state(obj, state):
    states = safe(obj.get_state_set)
    return states is not None and states.contains(state)


def descendants(obj, depth=0):
    """Every object below obj, depth first; the children of a hidden object too."""
    if depth > 12:
        return
    for i in range(safe(obj.get_child_count, 0)):
        child = safe(lambda: obj.get_child_at_index(i))
        if child is not None:
            yield child
            yield from descendants(child, depth + 1)


def owner(obj):
    """The name of the control obj is or lies in (a list entry lies in its list)."""
    while obj is not None:
        name = safe(obj.get_name, "")
        if name in CONTROLS:
            return name
        if safe(obj.get_role) in (Atspi.Role.FRAME, Atspi.Role.APPLICATION, None):
            return None
        obj = safe(obj.get_parent)
    return None


class Event:
    """An event as it arrived, with what its source said of itself at that moment."""

    def __init__(self, event):
        self.type = event.type
        self.detail1 = event.detail1
        self.source = event.source
        self.role = safe(event.source.get_role_name, "?")
        self.name = safe(event.source.get_name, "") or ""
        self.description = safe(event.source.get_description, "") or ""
        self.owner = owner(event.source)
        data = event.any_data
        self.text = data if isinstance(data, str) else ""

    def gains_focus(self):
        return self.type.startswith("object:state-changed:focused") and self.detail1 == 1

    def says(self, text):
        """Whether Orca 43 speaks text for this event: a focus gain speaks the
        object's name and description, a notification shown speaks its name, a
        value change of the focused canvas speaks its name again."""
        carried = (self.name, self.description, self.text)
        if self.gains_focus():
            return any(text in c for c in carried)
        if self.type.startswith("object:state-changed:showing"):
            return self.detail1 == 1 and self.role == "notification" and text in self.name
        if self.type.startswith("object:property-change:accessible-value"):
            return self.owner == CANVAS and text in self.name
        return False

    def __str__(self):
        return "%s [%s | %r in %s] detail1=%s" % (
            self.type, self.role, self.name, self.owner, self.detail1)


def silent_speech_dispatcher(home):
    """Speech Dispatcher's settings in home, for a machine without a sound card:
    one output module that says nothing, through libao's null driver. Without a
    Speech Dispatcher that starts, Orca 48 speaks nothing, not even to its log."""
    config = os.path.join(home, "config", "speech-dispatcher")
    os.makedirs(os.path.join(config, "modules"))
    with open(os.path.join(config, "modules", "silent.conf"), "w") as module:
        module.write('GenericExecuteSynth "true"\n'
                     'AddVoice "bg" "MALE1" "bg"\nAddVoice "en" "MALE1" "en"\n')
    with open(os.path.join(config, "speechd.conf"), "w") as speechd:
        speechd.write('AddModule "silent" "sd_generic" "silent.conf"\n'
                      'DefaultModule "silent"\nAudioOutputMethod "libao"\n')
    with open(os.path.join(home, ".libao"), "w") as libao:
        libao.write("default_driver=null\n")


class Stack:
    """Xvfb, the accessibility bus with its registry, an event recorder and Orca."""

    def __init__(self):
        self.processes = []
        self.events = []
        self.display = None

    def start(self):
        self.orca_version = None
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24",
                    "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n") and select.select([read_end], [], [], 10)[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise Failure("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        os.environ["DISPLAY"] = self.display
        os.environ.pop("WAYLAND_DISPLAY", None)

        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        if not wait_for(lambda: self.name_has_owner(bus, "org.a11y.Bus"), 10):
            raise Failure("the accessibility bus launcher did not start")
        # What a screen reader does when it starts: tell the toolkits to switch on.
        bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                      GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled",
                                             GLib.Variant("b", True))),
                      None, Gio.DBusCallFlags.NONE, 5000, None)
        Atspi.init()
        # A program that hangs fails a check in seconds, not in D-Bus's 25.
        Atspi.set_timeout(3000, 15000)
        self.listener = Atspi.EventListener.new(lambda event: self.events.append(Event(event)))
        for event_type in EVENT_TYPES:
            self.listener.register(event_type)
        self.start_orca()

    def start_orca(self):
        """Orca with a home and preferences of its own, writing every line it
        speaks to its debug log. The log is a terminal of this script's, which
        Orca writes line by line (to a file or a pipe it would write in blocks of
        kilobytes)."""
        self.spoken = []
        self.spoken_read = 0
        master, terminal = os.openpty()
        tty.setraw(terminal)
        threading.Thread(target=self.read_orca_log, args=(master,), daemon=True).start()
        home = tempfile.mkdtemp(prefix="dv-orca-")
        silent_speech_dispatcher(home)
        self.spawn(["orca", "--replace", "--user-prefs", os.path.join(home, "prefs"),
                    "--debug-file", os.ttyname(terminal)],
                   env=dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config")))
        self.orca_terminal = terminal  # open while Orca runs
        if not wait_for(lambda: self.spoken, 30):
            raise Failure("Orca did not start speaking")
        self.orca_version = subprocess.run(["orca", "--version"], capture_output=True,
                                           text=True).stdout.strip()

    def read_orca_log(self, master):
        pending = b""
        while True:
            try:
                data = os.read(master, 65536)
            except OSError:
                return
            if not data:
                return
            *lines, pending = (pending + data).split(b"\n")
            for line in lines:
                match = re.search(r"SPEECH OUTPUT: '(.*?)'\s*(?:\{.*\})?\s*$",
                                  line.decode("utf-8", errors="replace"))
                if match:
                    self.spoken.append(match.group(1))

    def speech(self):
        """What Orca has spoken since the last call, line by line."""
        new = self.spoken[self.spoken_read:]
        self.spoken_read += len(new)
        return new

    def hear(self, text, timeout=5):
        """Waits until Orca speaks a line holding text; returns what it spoke meanwhile."""
        heard = []
        wait_for(lambda: heard.extend(self.speech()) or any(text in h for h in heard), timeout)
        return heard

    @staticmethod
    def name_has_owner(bus, name):
        reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "NameHasOwner", GLib.Variant("(s)", (name,)),
                              None, Gio.DBusCallFlags.NONE, 2000, None)
        return reply.unpack()[0]

    def spawn(self, command, **options):
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   **options)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            stop_process(process)


def stop_process(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Program:
    """One run of the program, its window and its accessible application."""

    def __init__(self, stack, path):
        self.stack = stack
        env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        self.log = tempfile.TemporaryFile(mode="w+")
        self.process = subprocess.Popen([path], env=env, stdout=self.log, stderr=self.log)
        found = subprocess.run(["timeout", "15", "xdotool", "search", "--sync", "--onlyvisible",
                                "--pid", str(self.process.pid)],
                               capture_output=True, text=True)
        if not found.stdout.split():
            raise Failure("the program's window did not appear")
        self.window = found.stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True, timeout=10)
        self.app = None
        if not wait_for(self.find_app, 15):
            raise Failure("the program did not appear on the accessibility bus "
                          "(is Qt's AT-SPI bridge switched off?)")
        self.app.set_cache_mask(Atspi.Cache.NONE)
        if not wait_for(lambda: self.focused_control() == STORY, 5):
            raise Failure("at start the keyboard focus is on %s, not on %r"
                          % (self.focused_control(), STORY))
        pump(0.3)
        self.stack.events.clear()
        self.stack.speech()

    def find_app(self):
        desktop = Atspi.get_desktop(0)
        for i in range(safe(desktop.get_child_count, 0)):
            app = safe(lambda: desktop.get_child_at_index(i))
            if app is not None and safe(app.get_process_id) == self.process.pid:
                self.app = app
                return True
        return False

    def stop(self):
        stop_process(self.process)

    def output(self):
        self.log.seek(0)
        return self.log.read()

    # --- what a user does

    def key(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True, timeout=10)

    def click(self, x, y):
        subprocess.run(["xdotool", "mousemove", "--window", self.window, str(x), str(y),
                        "click", "1"], check=True, timeout=10)

    def press_canvas(self, x, y):
        self.click(*canvas_pixel(x, y))

    def click_object(self, obj):
        """A click in the middle of an accessible object, where the screen shows it."""
        box = obj.get_extents(Atspi.CoordType.SCREEN)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "1"], check=True, timeout=10)

    # --- what the accessibility stack shows

    def find(self, name):
        for obj in descendants(self.app):
            if safe(obj.get_name) == name:
                return obj
        raise Failure("no accessible object named %r" % name)

    def focused_control(self):
        for obj in descendants(self.app):
            if has_state(obj, Atspi.StateType.FOCUSED):
                return owner(obj)
        return None

    def focused_objects(self):
        return [obj for obj in descendants(self.app) if has_state(obj, Atspi.StateType.FOCUSED)]

    def row_count(self, list_name):
        view = self.find(list_name)
        if "Table" not in (safe(view.get_interfaces) or []):
            return len(self.entries(list_name))
        return safe(lambda: Atspi.Table.get_n_rows(view), 0)

    def entries(self, list_name):
        entry_roles = (Atspi.Role.LIST_ITEM, Atspi.Role.TABLE_CELL)
        return [c for c in descendants(self.find(list_name)) if safe(c.get_role) in entry_roles]

    def texts(self):
        """Every name and description in the tree, and the text of text objects other
        than the story."""
        found = []
        for obj in descendants(self.app):
            found += [safe(obj.get_name, "") or "", safe(obj.get_description, "") or ""]
            if "Text" in (safe(obj.get_interfaces) or []) and safe(obj.get_name) != STORY:
                found.append(safe(lambda: Atspi.Text.get_text(obj, 0, -1), "") or "")
        return [t for t in found if t]

    # --- moving the focus

    def tab(self, expected):
        """Presses Tab and checks that the focus lands on expected, announced by it
        alone."""
        self.stack.events.clear()
        self.key("Tab")
        if not wait_for(lambda: any(e.gains_focus() for e in self.stack.events), 3):
            raise Failure("Tab towards %r: no focus event at all" % expected)
        pump(0.3)
        gains = [e for e in self.stack.events if e.gains_focus()]
        if gains[-1].owner != expected:
            raise Failure("Tab went to %s, expected %r" % (gains[-1], expected))
        strays = [e for e in gains if e.owner != expected]
        if strays:
            raise Failure("Tab to %r also announced: %s" % (expected, "; ".join(map(str, strays))))

    def tab_to(self, target):
        """Presses Tab until the focus lands on target, as the focus events tell."""
        for _ in range(len(TAB_ORDER)):
            self.stack.events.clear()
            self.key("Tab")
            wait_for(lambda: any(e.gains_focus() for e in self.stack.events), 3)
            pump(0.3)
            gains = [e for e in self.stack.events if e.gains_focus()]
            if gains and gains[-1].owner == target:
                return
        raise Failure("Tab never reached %r" % target)

    def expect_rows(self, count, what):
        if not wait_for(lambda: self.row_count(LIST_X) == count
                        and self.row_count(LIST_Y) == count, 3):
            raise Failure("%s: the lists hold %d and %d entries, expected %d each"
                          % (what, self.row_count(LIST_X), self.row_count(LIST_Y), count))


def expect_only(program, control, what):
    """No focus gain from anything but control, and no object but control (or one
    of its parts) in the focused state."""
    strays = [e for e in program.stack.events if e.gains_focus() and e.owner != control]
    if strays:
        raise Failure("%s: focus announced by %s while %r has the focus"
                      % (what, "; ".join(map(str, strays)), control))
    others = [o for o in program.focused_objects() if owner(o) != control]
    if others:
        raise Failure("%s: %s report the focused state besides %r"
                      % (what, ", ".join(repr(safe(o.get_name, "?")) for o in others), control))


# --- the checks


def check_tab_order(program):
    for expected in TAB_ORDER:
        program.tab(expected)
    return "story, " + ", ".join(TAB_ORDER)


def check_canvas_press(program):
    program.expect_rows(0, "at start")
    program.press_canvas(20, 20)  # the top-left corner, beside the illustration
    program.expect_rows(1, "a press on the canvas")
    return "a press at (20, 20) adds one entry to each list"


def check_no_false_focus(program):
    program.press_canvas(20, 20)
    program.press_canvas(480, 480)
    program.expect_rows(2, "two presses on the canvas")
    program.tab_to(LIST_Y)
    program.stack.events.clear()
    program.key("Down")
    pump(0.5)
    if not any(has_state(e, Atspi.StateType.SELECTED) for e in program.entries(LIST_Y)):
        raise Failure("Down in %r selected no entry" % LIST_Y)
    expect_only(program, LIST_Y, "Down in %r" % LIST_Y)
    program.tab_to(REMOVE)
    program.stack.events.clear()
    program.key("space")
    pump(1.0)
    program.expect_rows(1, "%r with an entry selected" % REMOVE)
    expect_only(program, REMOVE, "Space on %r" % REMOVE)
    return "moving in list Y and a removal announce only the focused control"


def check_keyboard_placement(program):
    program.tab_to(CANVAS)
    for key, spoken in KEYBOARD_STEPS:
        program.stack.events.clear()
        program.key(key)
        if not wait_for(lambda: any(e.says(spoken) for e in program.stack.events), 2):
            heard = "; ".join(map(str, program.stack.events)) or "no event"
            raise Failure("%s on the canvas: nothing that a screen reader speaks as %r (%s)"
                          % (key, spoken, heard))
        expect_only(program, CANVAS, key + " on the canvas")
    program.key("Return")
    program.expect_rows(1, "Return on the canvas")
    for list_name in (LIST_X, LIST_Y):
        # One entry per point: a screen reader counts the entries ("List with 2
        # items") and reads hidden ones too.
        names = [safe(e.get_name, "") for e in program.entries(list_name)]
        match = ENTRY_NAME.match(names[0]) if len(names) == 1 else None
        if match is None or match.group(1) != "1":
            raise Failure("%r shows 1 point as the accessible entries %r; expected one entry "
                          "named \"Точка 1: \" and the coordinate with a decimal comma"
                          % (list_name, names))
    x_name = safe(program.entries(LIST_X)[0].get_name, "")
    if "," not in x_name:
        raise Failure("the X of a point one pixel right of the centre has no decimal comma: %r"
                      % x_name)
    if has_state(program.find(ILLUSTRATION), Atspi.StateType.SHOWING):
        raise Failure("a point placed from the keyboard left the illustration showing")
    return "cursor announced as %s; Return placed %r" % (
        ", ".join(repr(s) for _, s in KEYBOARD_STEPS), x_name)


def verdict_segments(texts, rope):
    """The parts of the texts that begin with "Въже <rope>" (up to the next rope)."""
    segments = []
    for text in texts:
        for match in re.finditer(r"Въже %d\b.*?(?=Въже \d|$)" % rope, text, re.S):
            segments.append(match.group(0))
    return segments


def check_verdicts(program):
    for start, end, _ in VERDICT_ROPES:
        program.press_canvas(*start)
        program.press_canvas(*end)
    program.expect_rows(2 * len(VERDICT_ROPES), "the ropes' presses")
    program.tab_to(KNIGHT)
    program.stack.events.clear()
    program.key("space")
    pump(1.0)
    texts = program.texts()
    for rope, (_, _, phrase) in enumerate(VERDICT_ROPES, start=1):
        segments = verdict_segments(texts, rope)
        if not any(phrase in s for s in segments):
            raise Failure("after %r no text in the accessible tree begins \"Въже %d\" and says "
                          "%r (found %r)" % (KNIGHT, rope, phrase, segments))
    if not any(e.says("Въже 1") for e in program.stack.events):
        raise Failure("judging sent no event that Orca 43 speaks with the verdicts (a focus "
                      "gain or a notification shown carrying \"Въже 1\"); events: %s"
                      % ("; ".join(map(str, program.stack.events)) or "none"))
    heard = " | ".join(program.stack.hear(VERDICT_ROPES[-1][2]))
    for rope, (_, _, phrase) in enumerate(VERDICT_ROPES, start=1):
        if "Въже %d: %s" % (rope, phrase) not in heard:
            raise Failure("Orca did not say \"Въже %d: %s\" after %r; it said: %r"
                          % (rope, phrase, KNIGHT, heard))
    program.tab_to(CLEAR)
    program.key("space")
    pump(0.5)
    program.expect_rows(0, repr(CLEAR))
    left = [t for t in program.texts() if re.search(r"Въже \d", t)]
    if left:
        raise Failure("%r left the verdicts in the accessible tree: %r" % (CLEAR, left))
    return "four verdicts in the tree and spoken after %r, gone after %r" % (KNIGHT, CLEAR)


def expect_heard(program, text, what):
    """The event that speaks text wherever the focus is, and Orca speaking it."""
    if not wait_for(lambda: any(e.says(text) for e in program.stack.events), 3):
        raise Failure("%s: no notification says %r; events: %s"
                      % (what, text, "; ".join(map(str, program.stack.events)) or "none"))
    heard = program.stack.hear(text)
    if not any(text in line for line in heard):
        raise Failure("%s: Orca did not say %r; it said: %r" % (what, text, heard))
    return next(line for line in heard if text in line)


def check_removal_heard(program):
    for point in ((20, 20), (480, 20), (20, 480)):
        program.press_canvas(*point)
    program.expect_rows(3, "three presses")
    said = []

    program.click_object(program.entries(LIST_X)[1])
    if not wait_for(lambda: has_state(program.entries(LIST_Y)[1], Atspi.StateType.SELECTED), 3):
        raise Failure("a click on entry 2 of %r did not select point 2" % LIST_X)
    program.tab_to(REMOVE)
    program.stack.events.clear()
    program.stack.speech()
    program.key("space")
    said.append(expect_heard(program, REMOVED_2_OF_3, "Space on %r" % REMOVE))
    program.expect_rows(2, "the removal")

    # Nothing is selected now: a second press removes nothing and says nothing.
    program.stack.events.clear()
    program.key("space")
    pump(1.5)
    heard = program.stack.speech()
    if any("премахната" in line for line in heard) or any(
            e.says("премахната") for e in program.stack.events):
        raise Failure("%r with nothing selected spoke of a removal: %r" % (REMOVE, heard))
    program.expect_rows(2, "%r with nothing selected" % REMOVE)

    program.click_object(program.entries(LIST_Y)[0])
    if not wait_for(lambda: has_state(program.entries(LIST_X)[0], Atspi.StateType.SELECTED), 3):
        raise Failure("a click on entry 1 of %r did not select point 1" % LIST_Y)
    program.stack.events.clear()
    program.stack.speech()
    program.click_object(program.find(REMOVE))
    said.append(expect_heard(program, REMOVED_1_OF_2, "a click on %r" % REMOVE))
    program.expect_rows(1, "the second removal")

    program.tab_to(CLEAR)
    program.stack.events.clear()
    program.stack.speech()
    program.key("space")
    said.append(expect_heard(program, CLEARED, "Space on %r" % CLEAR))
    program.expect_rows(0, repr(CLEAR))
    return "%s said %s" % (program.stack.orca_version, "; ".join(repr(s) for s in said))


CHECKS = (
    ("tab order", check_tab_order),
    ("press on the canvas", check_canvas_press),
    ("no false focus", check_no_false_focus),
    ("keyboard placement", check_keyboard_placement),
    ("verdicts in words", check_verdicts),
    ("removal and clear all heard", check_removal_heard),
)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="the dragon-valley executable")
    args = parser.parse_args()
    program_path = os.path.abspath(args.program)

    if "DV_ATSPI_STDERR" not in os.environ:
        # Into a D-Bus session of its own. The session's daemons chatter on stderr
        # about file limits and activations; they get /dev/null, this script keeps
        # its own stderr.
        stderr = os.dup(2)
        os.set_inheritable(stderr, True)
        os.environ["DV_ATSPI_STDERR"] = str(stderr)
        os.environ["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="dv-atspi-")
        os.dup2(os.open(os.devnull, os.O_WRONLY), 2)
        try:
            os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])
        except OSError as error:
            os.dup2(stderr, 2)
            print("atspi-check: cannot start dbus-run-session: %s" % error, file=sys.stderr)
            return 2
    os.dup2(int(os.environ["DV_ATSPI_STDERR"]), 2)
    for tool in ("Xvfb", "xdotool"):
        if shutil.which(tool) is None:
            print("atspi-check: %s is missing" % tool, file=sys.stderr)
            return 2
    # A timeout or Ctrl+C still cleans up the display and the buses.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))

    stack = Stack()
    failed = []
    try:
        try:
            stack.start()
        except Failure as failure:
            print("atspi-check: %s" % failure, file=sys.stderr)
            return 2
        for name, check in CHECKS:
            started = time.monotonic()
            program = None
            try:
                program = Program(stack, program_path)
                detail = check(program)
                print("PASS %s: %s (%.1f s)" % (name, detail, time.monotonic() - started))
            except Failure as failure:
                failed.append(name)
                print("FAIL %s: %s" % (name, failure))
                if program is not None and program.output().strip():
                    print("  the program wrote:\n    " + "\n    ".join(
                        program.output().strip().splitlines()[-10:]))
            finally:
                if program is not None:
                    program.stop()
                stack.events.clear()
    finally:
        stack.stop()
    print("atspi-check: %d checks failed" % len(failed) if failed else "atspi-check: all passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
