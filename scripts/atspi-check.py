#!/usr/bin/python3
"""What a screen-reader user hears from Dragon Valley: one scenario of keys and
clicks (xdotool) on a virtual display (Xvfb) with a D-Bus session, an AT-SPI bus
and Orca of its own, each step checked against what Orca speaks ("SPEECH OUTPUT"
in its debug log).

    atspi-check.py --program PATH       the desktop program (Qt's xcb platform)
    atspi-check.py --page URL --browser chromium|firefox
        the browser release at URL in Chromium or Firefox ESR, in kiosk mode;
        the page puts the program's 453x469 window in the middle, where the first
        step waits until a screenshot (ImageMagick's import) shows it

On the desktop each step is also checked for focus events: only the control that
has the focus announces it. The accessible names, roles and texts themselves are
tests/tst_accessibility.cpp's to check. Prints a line for each group of steps;
exits 0 when all passed, 1 when a check failed or time ran out, 2 when the
display, the buses, Orca or the program did not come up.
"""

import argparse, json, os, re, select, shutil, signal, subprocess, sys, tempfile, threading
import time, tty

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

STORY, CANVAS, LIST_X, LIST_Y = "Разказ и задача", "Платно с долината", "Списък X", "Списък Y"
CONTROLS = (STORY, CANVAS, LIST_X, LIST_Y, "Рицар", "Без точка", "Чисти всичко",
            "Илюстрация: дракон и рицар")
KNIGHT, REMOVE, X_ROW_1 = (380, 252), (380, 284), (374, 42)  # window pixels


def canvas(x, y):
    """The window pixel of canvas point (x, y): the drawing area lies at (10, 34),
    296 pixels for 500 units."""
    return 10 + round(x * 296 / 500), 34 + round(y * 296 / 500)


# Groups of steps: a key (as xdotool names it) or a click at a window pixel, and
# the texts Orca is to speak for it, in the program's own words; "!" marks a
# text it must not speak. The story has the focus at start.
SCENARIO = (
    ("canvas from the keyboard", (
        ("Tab", CANVAS),
        ("Right", "X 250, Y 250"),  # the first arrow shows the cross where it stands
        ("Right", "X 252, Y 250"), ("shift+Down", "X 252, Y 267"), ("Home", "X 250, Y 250"),
        ("Return", "Точка 1: X 250, Y 250"),
        ("Right", "X 252, Y 250"), ("space", "Точка 2: X 251,6892, Y 250"))),
    ("entering list X", (("Tab", (LIST_X, "Точка 1: 250")),)),
    ("moving in list X", (("Down", "Точка 2: 251,6892"), ("Up", "Точка 1: 250"))),
    ("removal from the keyboard", (
        ("Tab", LIST_Y), ("Tab", "Рицар"), ("Tab", "Без точка"),
        ("space", "Точка 1 е премахната, остава 1 точка"),
        ("space", "!премахната"))),  # nothing is selected now
    ("clear all from the keyboard", (
        ("Tab", "Чисти всичко"), ("space", "Платното и списъците са изчистени"))),
    # What a click on the canvas or a list says goes unchecked: Orca may hear of
    # the press after the program has answered it, and then it keeps quiet on a
    # focus already moved (Orca 43) or drops the page's announcement (browsers).
    # The verdicts tell where the points lie, a removal which one was selected.
    ("ropes with the mouse", (
        *((canvas(x, y), ()) for x, y in ((10, 150), (490, 150), (10, 60), (490, 60),
                                          (10, 250), (490, 250), (300, 100), (300, 400))),
        (KNIGHT, ("Въже 1: успех", "Въже 2: твърде далеч от дракона",
                  "Въже 3: в огъня на дракона", "Въже 4: край на въжето в долината")))),
    ("removal with the mouse", (
        (X_ROW_1, ()), (REMOVE, "Точка 1 е премахната, остават 7 точки"))),
)


class Failure(Exception):
    pass


class StackDown(Exception):
    pass


def wait_for(condition, timeout):
    """Lets Atspi deliver its events until condition() holds or timeout seconds pass."""
    end = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > end:
            return False
        if not GLib.MainContext.default().iteration(False):
            time.sleep(0.01)
    return True


def safe(call, default=None):
    try:
        return call()
    except GLib.Error:
        return default


def owner(obj):
    """The control obj is or lies in (a list entry lies in its list)."""
    while obj is not None and safe(obj.get_role) not in (Atspi.Role.APPLICATION, None):
        name = safe(obj.get_name)
        if name in CONTROLS:
            return name
        obj = safe(obj.get_parent)
    return None


def descendants(obj):
    for i in range(safe(obj.get_child_count, 0)):
        child = safe(lambda: obj.get_child_at_index(i))
        if child is not None:
            yield child
            yield from descendants(child)


def run(*command):
    return subprocess.run(command, check=True, timeout=20, capture_output=True, text=True).stdout


class Stack:
    """Xvfb, the AT-SPI bus with its registry, Orca, and the processes started."""

    def __init__(self, home):
        self.home, self.processes, self.spoken, self.focus_gains = home, [], [], []

    def spawn(self, command, **options):
        """Starts command in a process group of its own, stopped with all it starts."""
        options = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, start_new_session=True) | options
        try:
            process = subprocess.Popen(command, **options)
        except OSError as error:
            raise StackDown("cannot start %s: %s" % (command[0], error.strerror))
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(process.pid, sig)
                    process.wait(5)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    pass

    def announced(self, *command):
        """Starts command; returns the line it prints once it is ready."""
        output = self.spawn(command, stdout=subprocess.PIPE).stdout
        line = output.readline() if select.select([output], [], [], 10)[0] else b""
        if not line.strip():
            raise StackDown("%s did not start" % command[0])
        return line.decode().strip()

    def start(self, focus_events):
        home = self.home  # private (0700), so the runtime folder too
        os.environ.update(HOME=home, XDG_RUNTIME_DIR=home, XDG_CONFIG_HOME=home + "/.config",
                          XDG_DATA_HOME=home + "/.local/share", XDG_CACHE_HOME=home + "/.cache")
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.announced(
            "dbus-daemon", "--session", "--nofork", "--print-address")
        os.environ["DISPLAY"] = ":" + self.announced(
            "Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp")
        os.environ.pop("WAYLAND_DISPLAY", None)
        Atspi.init()  # the session bus starts the AT-SPI bus, stopped with it
        Atspi.set_timeout(3000, 15000)  # a program that hangs fails in seconds
        if focus_events:
            self.listener = Atspi.EventListener.new(self.focus_gained)
            self.listener.register("object:state-changed:focused")
        self.start_orca()

    def focus_gained(self, event):
        """Keeps the control that gains the focus, found as the event arrives. A
        source already gone (under Qt 6.4 a canvas item said before) is one that
        Orca cannot speak either."""
        if event.detail1 and safe(event.source.get_role) is not None:
            self.focus_gains.append(owner(event.source) or safe(event.source.get_name))

    def start_orca(self):
        """Orca, writing what it speaks to a terminal of this script's (to a file
        or a pipe it writes in blocks of kilobytes). Orca 48 speaks nothing, not
        even to its log, without a Speech Dispatcher: here one that says nothing,
        through libao's null driver."""
        config = os.path.join(self.home, ".config", "speech-dispatcher")
        os.makedirs(os.path.join(config, "modules"))
        os.mkdir(os.path.join(self.home, "bin"))
        for path, text in (("modules/silent.conf", 'GenericExecuteSynth "true"\n'
                            'AddVoice "bg" "MALE1" "bg"\nAddVoice "en" "MALE1" "en"\n'),
                           ("speechd.conf", 'AddModule "silent" "sd_generic" "silent.conf"\n'
                            'DefaultModule "silent"\nAudioOutputMethod "libao"\n'),
                           ("../../.libao", "default_driver=null\n"),
                           ("../../bin/pgrep", "#!/bin/sh\nexit 1\n")):
            with open(os.path.join(config, path), "w") as file:
                file.write(text)
        # Not the daemon that Orca would start, which outlives this script.
        self.spawn(["speech-dispatcher", "--run-single", "--timeout", "0"])
        if not wait_for(lambda: os.path.exists(os.path.join(
                self.home, "speech-dispatcher", "speechd.sock")), 10):
            raise StackDown("Speech Dispatcher did not start")
        master, self.orca_terminal = os.openpty()  # kept open while Orca runs
        tty.setraw(self.orca_terminal)
        threading.Thread(target=self.read_orca_log, args=(master,), daemon=True).start()
        # Orca stops every other Orca of its user on this machine (--replace), or
        # does not start beside one, as pgrep finds them: a pgrep that finds none
        # keeps it to its own display and buses.
        os.chmod(os.path.join(self.home, "bin", "pgrep"), 0o755)
        self.orca = self.spawn(["orca", "--user-prefs", os.path.join(self.home, "orca"),
                                "--debug-file", os.ttyname(self.orca_terminal)],
                               env=dict(os.environ, PATH=self.home + "/bin:" + os.environ["PATH"]))
        if not wait_for(lambda: self.spoken, 30):
            raise StackDown("Orca did not start speaking")
        self.orca_version = re.search(r"[\d.]+", run("orca", "--version")).group()

    def read_orca_log(self, master):
        pending = b""
        while True:
            try:
                *lines, pending = (pending + os.read(master, 65536)).split(b"\n")
            except OSError:
                return
            for line in lines:
                said = re.search(r"SPEECH OUTPUT: '(.*?)'\s*(?:\{.*\})?\s*$",
                                 line.decode("utf-8", errors="replace"))
                if said:
                    self.spoken.append(said.group(1))

    def heard(self):  # what Orca has spoken since the last call
        new, self.spoken[:] = self.spoken[:], []
        return new


def show(process):
    """Gives the keyboard to the window of process, alone on this display; returns
    where its middle 453 by 469 pixels lie: the program's window, or the one the
    page puts in the middle of the browser's."""
    try:
        window = run("xdotool", "search", "--sync", "--onlyvisible", "--pid",
                     str(process.pid)).split()[0]
        run("xdotool", "windowfocus", "--sync", window)
        box = dict(re.findall(r"(\w+)=(\d+)", run("xdotool", "getwindowgeometry", "--shell",
                                                    window)))
    except (subprocess.SubprocessError, IndexError):
        raise StackDown("no window appeared")
    return (int(box["X"]) + (int(box["WIDTH"]) - 453) // 2,
            int(box["Y"]) + (int(box["HEIGHT"]) - 469) // 2)


def start_program(stack, path):
    """The desktop program: its window's place, and its application on the bus."""
    process = stack.spawn([os.path.abspath(path)], env=dict(os.environ, QT_QPA_PLATFORM="xcb"))
    origin, desktop = show(process), Atspi.get_desktop(0)
    apps = lambda: [a for a in (safe(lambda: desktop.get_child_at_index(i))
                                for i in range(safe(desktop.get_child_count, 0)))
                    if a is not None and safe(a.get_process_id) == process.pid]
    if not wait_for(apps, 15):
        raise StackDown("the program did not appear on the AT-SPI bus")
    app = apps()[0]
    app.set_cache_mask(Atspi.Cache.NONE)
    if not wait_for(lambda: any(STORY in line for line in stack.spoken), 20):
        raise StackDown("Orca did not speak of the story, where the focus starts")
    return origin, app


def start_browser(stack, browser, url):
    """The browser on a fresh profile where nothing takes the focus from the page:
    no translation offered (Chromium), no first-run tab (Firefox)."""
    profile = os.path.join(stack.home, browser)
    if browser == "chromium":
        os.makedirs(os.path.join(profile, "Default"))
        with open(os.path.join(profile, "Default", "Preferences"), "w") as preferences:
            json.dump({"translate": {"enabled": False}}, preferences)
        process = stack.spawn([
            "chromium", "--user-data-dir=" + profile, "--force-renderer-accessibility",
            "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--disable-quic", "--kiosk", url])
    else:
        os.makedirs(profile)
        with open(os.path.join(profile, "user.js"), "w") as preferences:
            preferences.write('user_pref("datareporting.policy.firstRunURL", "");\n')
        process = stack.spawn(["firefox-esr", "--kiosk", "--profile", profile, "--no-remote", url],
                              env=dict(os.environ, GNOME_ACCESSIBILITY="1"))
    x, y = origin = show(process)
    shot = lambda dx, dy, size: re.findall(r"#(\w{6})", run(
        "import", "-window", "root", "-crop", "%s+%d+%d" % (size, x + dx, y + dy), "-depth", "8",
        "txt:-"))
    # The page's grey up to the window's corner, its light blue from there on, and
    # the title's orange label (the notice shown while the program loads is light
    # blue too).
    if not wait_for(lambda: shot(-1, -1, "2x2") == ["E4E4EC"] * 3 + ["8080FF"]
                    and shot(66, 2, "1x1") == ["FFC080"] or time.sleep(0.5), 45):
        raise StackDown("the page did not show the program's window at %d, %d" % origin)
    return origin, None


def check_focus(stack, app):
    """Only the control that has the focus announces it: where the focus stays, no
    other control does; where it moves, the last one to is the one that has it."""
    wait_for(lambda: False, 0.2)
    holders = {owner(o) for o in descendants(app)
               if safe(lambda: o.get_state_set().contains(Atspi.StateType.FOCUSED))}
    if len(holders) != 1:
        raise Failure("the focused state on %s" % (sorted(map(str, holders)) or "nothing"))
    before, now, gains = getattr(stack, "holder", STORY), holders.pop(), stack.focus_gains
    stack.holder = now
    if before == now and set(gains) - {now}:
        raise Failure("%s announced the focus while %s kept it"
                      % (sorted(map(str, set(gains) - {now})), now))
    if before != now and gains[-1:] != [now]:
        raise Failure("the focus went from %s to %s, announced last by %s"
                      % (before, now, gains[-1] if gains else "nothing"))


def play(stack, origin, app, action, texts):
    """One step; returns what Orca said of the texts wanted, or raises Failure."""
    texts = (texts,) if isinstance(texts, str) else texts
    wanted = [t for t in texts if not t.startswith("!")]
    unwanted = [t[1:] for t in texts if t.startswith("!")]
    stack.heard()
    stack.focus_gains.clear()
    if isinstance(action, str):
        run("xdotool", "key", action)
    else:
        run("xdotool", "mousemove", str(origin[0] + action[0]), str(origin[1] + action[1]),
            "click", "1")
        action = "click at %d, %d" % action
    heard = []
    wait_for(lambda: heard.extend(stack.heard()) or all(
        any(t in line for line in heard) for t in wanted), 6 if wanted else 1.5)
    wait_for(lambda: False, 0.5)  # what Orca goes on to say, not heard in the next step
    heard += stack.heard()
    if stack.orca.poll() is not None:
        raise StackDown("Orca stopped")
    missing = [t for t in wanted if not any(t in line for line in heard)]
    spoken = [t for t in unwanted if any(t in line for line in heard)]
    problems = ["Orca %s; it said %s" % (
        "did not say %r" % missing if missing else "said %r" % spoken,
        " | ".join(line[:100] for line in heard) or "nothing")] if missing or spoken else []
    try:
        if app:
            check_focus(stack, app)
    except Failure as failure:
        problems.append(str(failure))
    if problems:
        raise Failure("%s: %s" % (action, "; ".join(problems)))
    said = " / ".join(line[:140] for line in heard if any(t in line for t in wanted))
    return "%s: %s" % (action, said or "not %r" % unwanted) if texts else action


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    target = parser.add_mutually_exclusive_group(required=True)
    target.add_argument("--program", help="the dragon-valley executable")
    target.add_argument("--page", help="the address of the browser release's page")
    parser.add_argument("--browser", choices=("chromium", "firefox"), default="chromium")
    args = parser.parse_args()
    # libatspi's complaint of every children-changed signal that Qt 6.4 sends
    GLib.log_set_handler("dbind", GLib.LogLevelFlags.LEVEL_WARNING, lambda *_: None)
    for sig in (signal.SIGTERM, signal.SIGALRM):  # the processes started are stopped
        signal.signal(sig, lambda *_: sys.exit("atspi-check: stopped after %d s" % (
            time.monotonic() - started)))
    started = time.monotonic()
    signal.alarm(110)
    stack = Stack(tempfile.mkdtemp(prefix="dv-atspi-"))
    try:
        stack.start(focus_events=bool(args.program))
        origin, app = (start_program(stack, args.program) if args.program
                       else start_browser(stack, args.browser, args.page))
        wait_for(lambda: False, 1)
        print("atspi-check: %s with Orca %s" % (
            "the program" if app else "the page in " + args.browser, stack.orca_version))
        failed = 0
        for group, steps in SCENARIO:
            # A failed step is told with its group; the next ones still run, as
            # their keys and clicks lead on from where it left.
            said, failures = [], []
            for action, texts in steps:
                try:
                    said.append(play(stack, origin, app, action, texts))
                except Failure as failure:
                    failures.append(str(failure))
            failed += bool(failures)
            print("FAIL %s: %s" % (group, "; ".join(failures)) if failures
                  else "PASS %s: %s" % (group, "; ".join(said)))
        print("atspi-check: %s in %.0f s" % ("%d of %d groups failed" % (
            failed, len(SCENARIO)) if failed else "all passed", time.monotonic() - started))
        return 1 if failed else 0
    except StackDown as failure:
        print("atspi-check: %s" % failure, file=sys.stderr)
        return 2
    finally:
        signal.alarm(0)
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        stack.stop()
        shutil.rmtree(stack.home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
