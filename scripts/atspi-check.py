#!/usr/bin/python3
"""What a screen-reader user hears from Dragon Valley, the desktop program or the browser
release: keys and clicks on Xvfb, with buses and Orca of its own, checked against Orca's
speech and, on the desktop, the focus events. Exits 0 when all passed, 1 when a check failed
or time ran out, 2 when the display, the buses, Orca or the program did not come up."""

import argparse, contextlib, json, os, re, select, shutil, signal, subprocess, sys
import tempfile, threading, time, tty

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

STORY, CANVAS, LIST_X, LIST_Y = "Разказ и задача", "Платно с долината", "Списък X", "Списък Y"
CONTROLS = (STORY, CANVAS, LIST_X, LIST_Y, "Рицар", "Без точка", "Чисти всичко",
            "Илюстрация: дракон и рицар")

# Groups of steps: a key (as xdotool names it) or a click at a window pixel, and the
# texts Orca is to speak for it ("!": must not speak). The story has the focus at start.
SCENARIO = (
    ("canvas from the keyboard", (  # the first arrow shows the cross where it stands
        ("Tab", CANVAS), ("Right", "X 250, Y 250"), ("Right", "X 252, Y 250"),
        ("shift+Down", "X 252, Y 267"), ("Home", "X 250, Y 250"),
        ("Return", "Точка 1: X 250, Y 250"), ("Right", "X 252, Y 250"),
        ("space", "Точка 2: X 251,6892, Y 250"))),
    ("entering list X", (("Tab", (LIST_X, "Точка 1: 250")),)),
    ("moving in list X", (("Down", "Точка 2: 251,6892"), ("Up", "Точка 1: 250"))),
    ("removal from the keyboard", (  # at the second space nothing is selected
        ("Tab", LIST_Y), ("Tab", "Рицар"), ("Tab", "Без точка"),
        ("space", "Точка 1 е премахната, остава 1 точка"), ("space", "!премахната"))),
    ("clear all from the keyboard", (
        ("Tab", "Чисти всичко"), ("space", "Платното и списъците са изчистени"))),
    # What a click on the canvas or a list says goes unchecked: Orca may hear of it too late to
    # speak (Orca 43) or drop it (browsers). The verdicts tell where the points lie.
    ("ropes with the mouse", (  # canvas points: 296 pixels for 500 units from (10, 34)
        *(((10 + round(x * 296 / 500), 34 + round(y * 296 / 500)), ())
          for x, y in ((10, 150), (490, 150), (10, 60), (490, 60),
                       (10, 250), (490, 250), (300, 100), (300, 400))),
        ((380, 252), ("Въже 1: успех", "Въже 2: твърде далеч от дракона",  # "Рицар"
                  "Въже 3: в огъня на дракона", "Въже 4: край на въжето в долината")))),
    ("removal with the mouse", (  # the first entry of list X, then "Без точка"
        ((374, 42), ()), ((380, 284), "Точка 1 е премахната, остават 7 точки"))),
)


class StackDown(Exception):
    """The display, a bus, Orca or the program did not come up."""


def wait_for(condition, timeout, failure=None):
    """Lets Atspi deliver events until condition() holds; raises failure if it does not in time."""
    end = time.monotonic() + timeout
    while not (held := condition()) and time.monotonic() < end:
        if not GLib.MainContext.default().iteration(False):
            time.sleep(0.01)
    if failure and not held:
        raise StackDown(failure)


def safe(call, default=None):
    with contextlib.suppress(GLib.Error):
        return call()
    return default


def owner(obj):
    """The control obj is or lies in (a list entry lies in its list), if still there."""
    with contextlib.suppress(GLib.Error):
        while obj is not None and obj.get_role() != Atspi.Role.APPLICATION:
            if (name := obj.get_name()) in CONTROLS:
                return name
            obj = obj.get_parent()


def children(obj):
    return [child for child in (safe(lambda: obj.get_child_at_index(i))
                                for i in range(safe(obj.get_child_count, 0))) if child]


def run(*command):
    return subprocess.run(command, check=True, timeout=20, capture_output=True, text=True).stdout


class Check:
    def __init__(self, home):
        self.home, self.processes, self.spoken, self.focus_gains = home, [], [], []
        self.holder, self.app = STORY, None  # the control that has the focus

    def spawn(self, command, **options):
        """Starts command in a process group of its own, stopped with all it starts."""
        options = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, start_new_session=True) | options
        self.processes.append(subprocess.Popen(command, **options))
        return self.processes[-1]

    def announced(self, *command):
        """Starts command; returns the line it prints once it is ready."""
        output = self.spawn(command, stdout=subprocess.PIPE).stdout
        line = output.readline() if select.select([output], [], [], 10)[0] else b""
        if not line.strip():
            raise StackDown("%s did not start" % command[0])
        return line.decode().strip()

    def stop(self):
        for process in reversed(self.processes):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                with contextlib.suppress(ProcessLookupError, subprocess.TimeoutExpired):
                    os.killpg(process.pid, sig)
                    process.wait(5)

    def start(self, args):
        home = self.home  # private (0700), so the runtime folder too
        os.environ.update(HOME=home, XDG_RUNTIME_DIR=home, XDG_CONFIG_HOME=home + "/.config",
                          XDG_DATA_HOME=home + "/.local/share", XDG_CACHE_HOME=home + "/.cache")
        # Orca 48 says nothing, even to its log, without a Speech Dispatcher: one silent (libao's
        # null driver) that ends with the check. A pgrep finding no Orca keeps Orca from stopping
        # another or refusing to start. Browser profiles: no translation offer, no first-run tab.
        # Orca's reading of a page once loaded would never end with a silent voice, and Orca keeps
        # to browse mode while it reads: it is off.
        for path, text in (
                (".config/speech-dispatcher/modules/silent.conf", 'GenericExecuteSynth "true"\n'
                 'AddVoice "bg" "MALE1" "bg"\nAddVoice "en" "MALE1" "en"\n'),
                (".config/speech-dispatcher/speechd.conf", 'AddModule "silent" "sd_generic" '
                 '"silent.conf"\nDefaultModule "silent"\nAudioOutputMethod "libao"\n'),
                (".libao", "default_driver=null\n"), ("bin/pgrep", "#!/bin/sh\nexit 1\n"),
                ("chromium/Default/Preferences", json.dumps({"translate": {"enabled": False}})),
                ("firefox/user.js", 'user_pref("datareporting.policy.firstRunURL", "");\n'),
                (".local/share/orca/user-settings.conf", json.dumps(dict(
                    general={"sayAllOnLoad": False}, pronunciations={}, keybindings={},
                    profiles={"default": {"profile": ["Default", "default"], "sayAllOnLoad": False}})))):
            os.makedirs(os.path.dirname(os.path.join(home, path)), exist_ok=True)
            with open(os.path.join(home, path), "w") as file:
                file.write(text)
        os.chmod(home + "/bin/pgrep", 0o755)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.announced(
            "dbus-daemon", "--session", "--nofork", "--print-address")
        os.environ["DISPLAY"] = ":" + self.announced(
            "Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp")
        os.environ.pop("WAYLAND_DISPLAY", None)
        Atspi.init()  # the session bus starts the AT-SPI bus, stopped with it
        Atspi.set_timeout(3000, 15000)  # a program that hangs fails in seconds
        self.spawn(["speech-dispatcher", "--run-single", "--timeout", "0"])
        wait_for(lambda: os.path.exists(home + "/speech-dispatcher/speechd.sock"), 10,
                 "Speech Dispatcher did not start")
        # Orca writes its log to a terminal line by line, to a file or a pipe in blocks.
        master, self.orca_terminal = os.openpty()  # kept open while Orca runs
        tty.setraw(self.orca_terminal)
        threading.Thread(target=self.read_orca_log, args=(master,), daemon=True).start()
        self.orca = self.spawn(["orca", "--debug-file", os.ttyname(self.orca_terminal)],
                               env=dict(os.environ, PATH=home + "/bin:" + os.environ["PATH"]))
        wait_for(lambda: self.spoken, 30, "Orca did not start speaking")
        self.orca_version = re.search(r"[\d.]+", run("orca", "--version")).group()
        if args.program:
            self.start_program(args.program)
        else:
            self.start_browser(args.browser, args.page)
        wait_for(lambda: False, 1)

    def read_orca_log(self, master):
        with contextlib.suppress(OSError), open(master, "rb") as log:
            for line in log:
                if said := re.search(rb"SPEECH OUTPUT: '(.*?)'\s*(?:\{.*\})?\s*$", line):
                    self.spoken.append(said.group(1).decode("utf-8", errors="replace"))

    def show(self, process):
        """Focuses the window of process; keeps where its middle 453 by 469 pixels lie."""
        try:
            window = run("xdotool", "search", "--sync", "--onlyvisible", "--pid",
                         str(process.pid)).split()[0]
            box = dict(re.findall(r"(\w+)=(\d+)", run("xdotool", "windowfocus", "--sync", window,
                                                        "getwindowgeometry", "--shell", window)))
        except (subprocess.SubprocessError, IndexError):
            raise StackDown("no window appeared")
        self.origin = (int(box["X"]) + (int(box["WIDTH"]) - 453) // 2,
                       int(box["Y"]) + (int(box["HEIGHT"]) - 469) // 2)

    def focus_gained(self, event):
        # A source already gone (a canvas item under Qt 6.4) Orca cannot speak either.
        if event.detail1 and safe(event.source.get_role) is not None:
            self.focus_gains.append(owner(event.source) or safe(event.source.get_name))

    def start_program(self, path):
        Atspi.EventListener.new(self.focus_gained).register("object:state-changed:focused")
        process = self.spawn([os.path.abspath(path)], env=dict(os.environ, QT_QPA_PLATFORM="xcb"))
        self.show(process)
        apps = lambda: [app for app in children(Atspi.get_desktop(0))
                        if safe(app.get_process_id) == process.pid]
        wait_for(apps, 15, "the program did not appear on the AT-SPI bus")
        self.app = apps()[0]
        self.app.set_cache_mask(Atspi.Cache.NONE)
        wait_for(lambda: any(STORY in line for line in self.spoken), 20,
                 "Orca did not speak of the story, where the focus starts")

    def start_browser(self, browser, url):
        profile, start = os.path.join(self.home, browser), len(self.spoken)
        if browser == "chromium":
            process = self.spawn(["chromium", "--user-data-dir=" + profile, "--kiosk", url] + (
                "--force-renderer-accessibility --no-sandbox --disable-gpu --no-first-run "
                "--disable-background-networking --disable-component-update --disable-sync "
                "--disable-quic").split())
        else:
            process = self.spawn(["firefox-esr", "--kiosk", "--profile", profile, "--no-remote",
                                  url], env=dict(os.environ, GNOME_ACCESSIBILITY="1"))
        self.show(process)
        x, y = self.origin
        shot = lambda dx, dy, size: re.findall(r"#(\w{6})", run(*(
            "import -window root -crop %s+%d+%d -depth 8 txt:-" % (size, x + dx, y + dy)).split()))
        # The page's grey, the window's light blue (as the loading notice), the title's orange
        wait_for(lambda: shot(-1, -1, "2x2") == ["E4E4EC"] * 3 + ["8080FF"]
                 and shot(66, 2, "1x1") == ["FFC080"] or time.sleep(0.5), 45,
                 "the page did not show the program's window at %d, %d" % (x, y))
        # Keys sent before Orca has taken the loaded page go to its browse mode: it must have
        # spoken of the page, then fallen quiet (on a busy machine it can lag seconds behind).
        def quiet(count):  # count: what Orca had said two seconds before
            return time.sleep(2) or start < count == len(self.spoken)
        wait_for(lambda: quiet(len(self.spoken)), 40, "Orca did not take the page")

    def check_focus(self):
        """Only the control that has the focus announces it, last where the focus moves."""
        wait_for(lambda: False, 0.2)
        holders, pending = set(), [self.app]
        while pending:
            obj = pending.pop()
            pending += children(obj)
            if safe(lambda: obj.get_state_set().contains(Atspi.StateType.FOCUSED)):
                holders.add(owner(obj))
        if len(holders) != 1:
            return ["the focused state on %s" % (sorted(map(str, holders)) or "nothing")]
        before, now, gains = self.holder, holders.pop(), self.focus_gains
        self.holder, others = now, sorted(map(str, set(gains) - {now}))
        if before == now and others:
            return ["%s announced the focus while %s kept it" % (others, now)]
        if before != now and gains[-1:] != [now]:
            return ["the focus went from %s to %s, announced last by %s"
                    % (before, now, gains[-1] if gains else "nothing")]
        return []

    def play(self, action, texts):
        """One step: whether it passed, and what Orca said or what went wrong."""
        texts = (texts,) if isinstance(texts, str) else texts
        wanted = [text for text in texts if not text.startswith("!")]
        unwanted = [text[1:] for text in texts if text.startswith("!")]
        start = len(self.spoken)
        self.focus_gains.clear()
        if isinstance(action, str):
            run("xdotool", "key", action)
        else:
            run("xdotool", "mousemove", str(self.origin[0] + action[0]),
                str(self.origin[1] + action[1]), "click", "1")
            action = "click at %d, %d" % action
        said = lambda text, lines: any(text in line for line in lines)
        wait_for(lambda: all(said(text, self.spoken[start:]) for text in wanted),
                 6 if wanted else 1.5)
        wait_for(lambda: False, 0.5)  # what Orca goes on to say, not heard in the next step
        heard = self.spoken[start:]
        if self.orca.poll() is not None:
            raise StackDown("Orca stopped")
        missing = [text for text in wanted if not said(text, heard)]
        spoken = [text for text in unwanted if said(text, heard)]
        problems = ["Orca %s; it said %s" % (
            "did not say %r" % missing if missing else "said %r" % spoken,
            " | ".join(line[:100] for line in heard) or "nothing")] if missing or spoken else []
        problems += self.check_focus() if self.app else []
        if problems:
            return False, "%s: %s" % (action, "; ".join(problems))
        told = " / ".join(line[:140] for line in heard if any(text in line for text in wanted))
        return True, "%s: %s" % (action, told or "not %r" % unwanted) if texts else action


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    target = parser.add_mutually_exclusive_group(required=True)
    target.add_argument("--program", help="the dragon-valley executable")
    target.add_argument("--page", help="the address of the browser release's page")
    parser.add_argument("--browser", choices=("chromium", "firefox"), default="chromium")
    args = parser.parse_args()
    # libatspi's complaint of every children-changed signal that Qt 6.4 sends
    GLib.log_set_handler("dbind", GLib.LogLevelFlags.LEVEL_WARNING, lambda *_: None)
    started = time.monotonic()
    for sig in (signal.SIGTERM, signal.SIGALRM):  # the processes started are stopped
        signal.signal(sig, lambda *_: sys.exit("atspi-check: stopped after %d s" % (
            time.monotonic() - started)))
    signal.alarm(110)
    check = Check(tempfile.mkdtemp(prefix="dv-atspi-"))
    try:
        check.start(args)
        print("atspi-check: %s with Orca %s" % (
            "the program" if check.app else "the page in " + args.browser, check.orca_version))
        failed = 0
        for group, steps in SCENARIO:  # the steps after a failed one still run
            results = [check.play(action, texts) for action, texts in steps]
            failures = [line for passed, line in results if not passed]
            failed += bool(failures)
            print("FAIL %s: %s" % (group, "; ".join(failures)) if failures
                  else "PASS %s: %s" % (group, "; ".join(line for _, line in results)))
        print("atspi-check: %s in %.0f s" % ("%d of %d groups failed" % (
            failed, len(SCENARIO)) if failed else "all passed", time.monotonic() - started))
        return 1 if failed else 0
    except (StackDown, OSError) as failure:  # OSError: a program that is not there
        print("atspi-check: %s" % failure, file=sys.stderr)
        return 2
    finally:
        signal.alarm(0)
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        check.stop()
        shutil.rmtree(check.home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
