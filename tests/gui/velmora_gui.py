#!/usr/bin/env python3
"""Runs the real Velmora program in its own Xvfb server and checks what a player would see.

Usage: velmora_gui.py CASE --exe PATH/TO/Velmora [--artifacts DIR]

Each case starts a fresh Xvfb (no window manager) and a fresh runtime folder, so the
single-instance lock never meets another test or a game the developer is running. Keys are
typed through the XTEST extension, as a keyboard would; the close request of a window manager
is sent as a WM_DELETE_WINDOW client message through libX11 (ctypes). Exit code 0: passed,
1: failed, 77: skipped.
"""

import argparse
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
LOGICAL_W, LOGICAL_H = 640, 480
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer", "==ERROR")


class Failure(Exception):
    pass


class Skipped(Exception):
    pass


def wait_for(predicate, timeout, interval=0.1):
    """Polls predicate until it returns a true value or the time is up; returns the last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


# ----------------------------------------------------------------------------------------------
# The X server and the tools that talk to it


class Xvfb:
    def __init__(self, screen="1280x1024x24"):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([read_end], [], [], remaining)[0]:
                break
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            self.close()
            raise Failure("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def env(self):
        return dict(os.environ, DISPLAY=self.display)

    def run(self, *args, timeout=10, check=True):
        done = subprocess.run(list(args), env=self.env(), capture_output=True, timeout=timeout)
        if check and done.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {done.stderr.decode(errors='replace').strip()}")
        return done.stdout

    def visible_windows_of(self, pid):
        out = self.run("xdotool", "search", "--onlyvisible", "--pid", str(pid), check=False)
        return [int(w) for w in out.split()]

    def geometry(self, window):
        """(x, y, width, height) of the window's client area on the screen."""
        info = self.run("xwininfo", "-id", str(window)).decode()

        def field(name):
            return int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))

        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))

    def screenshot(self):
        return Picture(self.run("import", "-window", "root", "-depth", "8", "ppm:-", timeout=20))

    def key(self, *keys):
        self.run("xdotool", "key", *keys)

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class Picture:
    """A binary PPM (P6, 8 bits a sample) as the screenshot tool writes it."""

    def __init__(self, data):
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise Failure("unexpected screenshot format")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]
        self.raw = data

    def count(self, rect, predicate):
        x0, y0, x1, y1 = rect
        n = 0
        for y in range(y0, y1):
            row = self.pixels[(y * self.width + x0) * 3:(y * self.width + x1) * 3]
            n += sum(1 for p in zip(row[0::3], row[1::3], row[2::3]) if predicate(p))
        return n

    def is_black(self, rect):
        x0, y0, x1, y1 = rect
        row = bytes(3 * (x1 - x0))
        return all(self.pixels[(y * self.width + x0) * 3:(y * self.width + x1) * 3] == row for y in range(y0, y1))


def is_dark_blue(rgb):
    r, g, b = rgb
    return b >= 80 and b > 2 * r and b > g + 40


class X11:
    """The few libX11 calls the tests need that no installed command line tool offers."""

    def __init__(self, display):
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        try:
            self.lib = ctypes.CDLL(name)
        except OSError as e:
            raise Skipped(f"libX11 not loadable: {e}")
        lib = self.lib
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XPending.argtypes = [ctypes.c_void_p]
        lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = lib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise Failure(f"cannot open display {display}")

    def close(self):
        self.lib.XCloseDisplay(self.dpy)

    def send_delete_window(self, window):
        """What a window manager sends when the user clicks a window's close button."""

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

        class Event(ctypes.Union):
            _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

        ev = Event()
        ev.xclient.type = 33  # ClientMessage
        ev.xclient.window = window
        ev.xclient.message_type = self.lib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        ev.xclient.format = 32
        ev.xclient.data[0] = self.lib.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        ev.xclient.data[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(ev))
        self.lib.XSync(self.dpy, 0)

    def watch_new_windows(self):
        """From now on, every top-level window created on the screen is counted by created_windows()."""
        self.lib.XSelectInput(self.dpy, self.lib.XDefaultRootWindow(self.dpy), 1 << 19)  # SubstructureNotify
        self.lib.XSync(self.dpy, 0)

    def created_windows(self):
        self.lib.XSync(self.dpy, 0)
        event = (ctypes.c_long * 24)()
        created = 0
        while self.lib.XPending(self.dpy) > 0:
            self.lib.XNextEvent(self.dpy, ctypes.byref(event))
            if ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == 16:  # CreateNotify
                created += 1
        return created


# ----------------------------------------------------------------------------------------------
# The game


class Game:
    def __init__(self, exe, runtime_dir, display=None, scale="1", name="game"):
        env = dict(os.environ)
        for var in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "VELMORA_BACKEND", "VELMORA_SCALE"):
            env.pop(var, None)
        if display is not None:
            env["DISPLAY"] = display
        if scale is not None:
            env["VELMORA_SCALE"] = scale
        env["XDG_RUNTIME_DIR"] = runtime_dir
        env["VELMORA_DRIVES"] = ""
        # A machine under test may have no sound card: SDL's silent driver stands in for one, so
        # the game opens its sound device as on a player's machine.
        env.setdefault("SDL_AUDIODRIVER", "dummy")
        # SDL's X11 and GL stack keeps a few allocations until exit (libdbus, and the GL driver,
        # which is unloaded before the leak check runs, so its frames cannot even be named in a
        # suppression). Leaks of our own code are checked by the headless suites; every other
        # sanitizer report still fails these tests.
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS", ""), "detect_leaks=0"]))
        self.stderr_path = os.path.join(runtime_dir, f"{name}.stderr")
        self.started = time.monotonic()
        with open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen([exe], env=env, stdout=subprocess.DEVNULL, stderr=err)
        self.pid = self.proc.pid

    def stderr(self):
        with open(self.stderr_path, "rb") as f:
            return f.read().decode(errors="replace")

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.proc.poll() is None

    def check_no_sanitizer_report(self):
        text = self.stderr()
        for mark in SANITIZER_MARKS:
            if mark in text:
                raise Failure(f"sanitizer report on stderr:\n{text}")

    def kill(self):
        if self.running():
            self.proc.kill()
            self.proc.wait()


class Session:
    """One Xvfb server, a fresh runtime folder, and the games started in it."""

    def __init__(self, args, screen="1280x1024x24", with_display=True):
        self.args = args
        self.tmp = tempfile.mkdtemp(prefix="velmora-gui-")
        os.chmod(self.tmp, 0o700)
        self.x = Xvfb(screen) if with_display else None
        self.games = []
        self.last_picture = None

    def start(self, scale="1", name="game"):
        game = Game(self.args.exe, self.tmp, self.x.display if self.x else None, scale, name)
        self.games.append(game)
        return game

    def window_of(self, game):
        windows = wait_for(lambda: self.x.visible_windows_of(game.pid) or not game.running(), 30)
        if not game.running():
            raise Failure(f"the game ended with {game.proc.returncode} before showing a window:\n{game.stderr()}")
        if windows is True or not windows:
            raise Failure("no window appeared within 30 s")
        if len(windows) != 1:
            raise Failure(f"expected one visible window, found {len(windows)}")
        # A bare X server gives the keyboard to the window under the pointer; give it explicitly.
        self.x.run("xdotool", "windowfocus", "--sync", str(windows[0]), timeout=10)
        return windows[0]

    def window_picture(self, window):
        """The screen and the client rectangle of the window on it."""
        x, y, w, h = self.x.geometry(window)
        self.last_picture = self.x.screenshot()
        return self.last_picture, (x, y, x + w, y + h)

    def save_failure_picture(self, case):
        if self.last_picture is None or not self.args.artifacts:
            return
        os.makedirs(self.args.artifacts, exist_ok=True)
        path = os.path.join(self.args.artifacts, f"{case}.ppm")
        with open(path, "wb") as f:
            f.write(self.last_picture.raw)
        print(f"last screenshot: {path}")

    def close(self):
        for g in self.games:
            g.kill()
        if self.x:
            self.x.close()
        shutil.rmtree(self.tmp, ignore_errors=True)


def centre_of(rect, scale):
    """The middle 200 × 100 logical pixels of the window, where the quit dialog sits."""
    x0, y0, x1, y1 = rect
    cx, cy = (x0 + x1) // 2, (y0 + y1) // 2
    return (cx - 100 * scale, cy - 50 * scale, cx + 100 * scale, cy + 50 * scale)


def corners_of(rect, scale):
    x0, y0, x1, y1 = rect
    s = 40 * scale
    return [(x0, y0, x0 + s, y0 + s), (x1 - s, y0, x1, y0 + s), (x0, y1 - s, x0 + s, y1), (x1 - s, y1 - s, x1, y1)]


def expect_opening_screen(s, window, what, scale=1):
    """The opening screen: the movie plays in the middle of a black window, so the window's
    corners are black (with the sample data missing, the whole window is)."""

    def black_corners():
        picture, rect = s.window_picture(window)
        return all(picture.is_black(c) for c in corners_of(rect, scale))

    if not wait_for(black_corners, 5, 0.25):
        raise Failure(f"{what}: the window's corners are not black")


def expect_quit_dialog(s, window, scale=1):
    """The quit dialog is drawn inside the game window: a dark-blue caption bar and a light face,
    both in the middle of the window, whatever the game shows around it."""

    def shown():
        picture, rect = s.window_picture(window)
        centre = centre_of(rect, scale)
        return (picture.count(rect, is_dark_blue) >= 1000 * scale * scale
                and picture.count(centre, lambda p: min(p) >= 150) >= 5000 * scale * scale)

    if not wait_for(shown, 10, 0.25):
        raise Failure("the quit dialog (dark-blue caption bar, light face in the middle) did not appear")
    picture, rect = s.window_picture(window)
    x0, y0, x1, y1 = rect
    cx, cy = (x0 + x1) // 2, (y0 + y1) // 2
    middle = (cx - 160 * scale, cy - 100 * scale, cx + 160 * scale, cy + 100 * scale)
    if picture.count(middle, is_dark_blue) < picture.count(rect, is_dark_blue):
        raise Failure("the dialog's caption bar is not in the middle of the window")


def expect_no_dialog(s, window):
    def gone():
        picture, rect = s.window_picture(window)
        return picture.count(rect, is_dark_blue) < 200

    if not wait_for(gone, 5, 0.25):
        raise Failure("the dialog is still shown")


def expect_clean_exit(game, timeout=10):
    code = game.wait_exit(timeout)
    if code is None:
        raise Failure(f"the game was still running {timeout} s after the quit dialog was accepted")
    game.check_no_sanitizer_report()
    if code != 0:
        raise Failure(f"the game ended with exit code {code}, expected 0:\n{game.stderr()}")


def quit_through_dialog(s, window, game, scale=1, anywhere=False):
    """Alt+F4, the quit dialog appears, Return (its default button, OK) ends the game cleanly.
    `anywhere`: the picture under the dialog is not black, so only its caption bar is looked for."""
    s.x.key("alt+F4")
    if anywhere:
        expect_quit_dialog_anywhere(s, window)
    else:
        expect_quit_dialog(s, window, scale=scale)
    s.x.key("Return")
    expect_clean_exit(game)


# ----------------------------------------------------------------------------------------------
# Cases


def case_close_ok(s):
    """First start: a 640 × 480 window on the opening screen; Alt+F4 opens the quit dialog; Return (its default
    button, OK) ends the game with exit code 0."""
    game = s.start(scale="1")
    window = s.window_of(game)
    x, y, w, h = s.x.geometry(window)
    if (w, h) != (LOGICAL_W, LOGICAL_H):
        raise Failure(f"client area {w}x{h} with VELMORA_SCALE=1, expected 640x480")
    title = s.x.run("xdotool", "getwindowname", str(window)).decode().strip()
    if title != "Velmora":
        raise Failure(f"window title {title!r}, expected 'Velmora'")
    expect_opening_screen(s, window, "the opening screen")
    s.x.key("alt+F4")
    expect_quit_dialog(s, window)
    if not game.running():
        raise Failure("the game ended on Alt+F4 without waiting for the quit dialog")
    s.x.key("Return")
    expect_clean_exit(game)


def case_close_cancel(s):
    """Escape in the quit dialog ("return to game") leaves the game running with the dialog
    gone; a second Alt+F4 then reopens the dialog and OK ends the game."""
    game = s.start(scale="1")
    window = s.window_of(game)
    s.x.key("alt+F4")
    expect_quit_dialog(s, window)
    s.x.key("Escape")
    expect_no_dialog(s, window)
    time.sleep(1)
    if not game.running():
        raise Failure(f"the game ended with {game.proc.returncode} after the quit dialog was cancelled")
    quit_through_dialog(s, window, game)


def case_close_wm_delete(s):
    """The close request a window manager sends (WM_DELETE_WINDOW) asks first, like Alt+F4."""
    game = s.start(scale="1")
    window = s.window_of(game)
    x11 = X11(s.x.display)
    try:
        x11.send_delete_window(window)
    finally:
        x11.close()
    expect_quit_dialog(s, window)
    if not game.running():
        raise Failure("the game ended on the close request without waiting for the quit dialog")
    s.x.key("Return")
    expect_clean_exit(game)


SCALE_CASES = [
    # screen, VELMORA_SCALE, expected client size
    ("1280x1024x24", None, (640, 480)),    # twice 640 × 480 plus a caption would not fit
    ("1920x1200x24", None, (1280, 960)),   # the largest whole factor that fits
    ("2560x1600x24", None, (1920, 1440)),
    ("1280x1024x24", "2", (1280, 960)),    # forced, even where it does not leave room for a caption
]


def case_scale(args):
    """The window is the 640 × 480 picture times a whole factor: the largest that fits the screen,
    or the one VELMORA_SCALE forces; the scaled picture fills it, and the quit dialog is scaled
    with it."""
    for screen, scale, expected in SCALE_CASES:
        s = Session(args, screen=screen)
        label = f"screen {screen}, VELMORA_SCALE={scale}"
        try:
            game = s.start(scale=scale)
            window = s.window_of(game)
            x, y, w, h = s.x.geometry(window)
            if (w, h) != expected:
                raise Failure(f"{label}: client area {w}x{h}, expected {expected[0]}x{expected[1]}")
            expect_opening_screen(s, window, label, scale=w // LOGICAL_W)
            quit_through_dialog(s, window, game, scale=w // LOGICAL_W)
        except Failure as e:
            s.save_failure_picture("scale")
            raise Failure(f"{label}: {e}")
        finally:
            s.close()


def case_second_start(s):
    """A second copy started beside a running one ends at once with exit code 255, without a
    window or a message, and leaves the first one running."""
    first = s.start(scale="1", name="first")
    window = s.window_of(first)
    x11 = X11(s.x.display)
    try:
        x11.watch_new_windows()
        second = s.start(scale="1", name="second")
        code = second.wait_exit(10)
        elapsed = time.monotonic() - second.started
        created = x11.created_windows()
    finally:
        x11.close()
    if code is None:
        raise Failure("the second copy was still running after 10 s")
    second.check_no_sanitizer_report()
    if code != 255:
        raise Failure(f"the second copy ended with exit code {code}, expected 255:\n{second.stderr()}")
    if elapsed >= 2.0:
        raise Failure(f"the second copy took {elapsed:.2f} s to end; it should end at once")
    if created:
        raise Failure(f"the second copy created {created} window(s) before ending")
    if second.stderr().strip():
        raise Failure(f"the second copy printed a message:\n{second.stderr()}")
    if not first.running():
        raise Failure(f"the first copy ended with {first.proc.returncode} when the second was started")
    if s.x.visible_windows_of(first.pid) != [window]:
        raise Failure("the first copy's window is gone")
    quit_through_dialog(s, window, first)


def case_no_display(s):
    """Without a display (no DISPLAY, no WAYLAND_DISPLAY) the game ends with a non-zero exit code
    and says why on stderr; it neither crashes nor keeps running without a window."""
    game = s.start(scale=None)
    code = game.wait_exit(20)
    if code is None:
        raise Failure("the game was still running 20 s after being started without a display "
                      f"(no window can exist; it should have ended). stderr:\n{game.stderr()}")
    game.check_no_sanitizer_report()
    if code < 0:
        raise Failure(f"the game was killed by signal {-code}:\n{game.stderr()}")
    if code == 0:
        raise Failure("the game ended with exit code 0 without a display")
    if "display" not in game.stderr().lower():
        raise Failure(f"stderr does not say that no display is available:\n{game.stderr()!r}")


SCENE_BACK = (40, 140, 120)
SCENE_PICTURE = (220, 180, 60)


def case_scene(s):
    """The test scene: the dissolve at level 2 shows picture and back layer in a checkerboard
    starting with the picture at the top-left; the red band halves both; the text is drawn in
    exactly white and exactly grey, nothing in between (monochrome glyphs through presentation)."""
    game = s.start(scale="1")
    window = s.window_of(game)

    def drawn():
        picture, rect = s.window_picture(window)
        return not picture.is_black((rect[0], rect[1], rect[0] + 40, rect[1] + 40))

    if not wait_for(drawn, 10, 0.25):
        raise Failure("the scene was not drawn")
    picture, rect = s.window_picture(window)
    x0, y0 = rect[0], rect[1]

    def at(x, y):
        i = ((y0 + y) * picture.width + x0 + x) * 3
        return tuple(picture.pixels[i:i + 3])

    half = lambda c: tuple(v // 2 for v in c)
    expected = [((100, 100), SCENE_PICTURE), ((101, 100), SCENE_BACK), ((101, 101), SCENE_PICTURE),
                ((100, 101), SCENE_BACK), ((100, 220), half(SCENE_PICTURE)), ((101, 220), half(SCENE_BACK)),
                ((0, 0), SCENE_PICTURE), ((639, 479), SCENE_PICTURE)]
    for (x, y), colour in expected:
        if at(x, y) != colour:
            raise Failure(f"pixel ({x}, {y}) is {at(x, y)}, expected {colour}")
    allowed = {SCENE_BACK, SCENE_PICTURE}
    for (top, ink, least) in ((300, (255, 255, 255), 300), (330, (128, 128, 128), 200)):
        area = (x0 + 40, y0 + top, x0 + 440, y0 + top + 16)
        inked = picture.count(area, lambda p: p == ink)
        stray = picture.count(area, lambda p: p != ink and p not in allowed)
        if inked < least or stray:
            raise Failure(f"text at y {top}: {inked} pixels of {ink}, {stray} of other colours")
    if s.args.artifacts:
        os.makedirs(s.args.artifacts, exist_ok=True)
        with open(os.path.join(s.args.artifacts, "scene.ppm"), "wb") as f:
            f.write(picture.raw)
    quit_through_dialog(s, window, game, anywhere=True)


def expect_quit_dialog_anywhere(s, window):
    def shown():
        picture, rect = s.window_picture(window)
        return picture.count(rect, is_dark_blue) >= 1000

    if not wait_for(shown, 10, 0.25):
        raise Failure("the quit dialog did not appear")


MOVIE_RECT = (80, 80, 560, 400)  # logical rectangle the movie demo plays its video in
MOVIE_BORDER = 3                 # edge pixels left out of the flatness check
MOVIE_TOLERANCE = 6              # per channel, for the video decoder's rounding


def movie_colour(picture, rect):
    """The one colour filling the movie rectangle (less a thin border) of the window at `rect`,
    or None when it is not flat or is black."""
    x0, y0 = rect[0], rect[1]
    l, t, r, b = MOVIE_RECT
    inner = (x0 + l + MOVIE_BORDER, y0 + t + MOVIE_BORDER, x0 + r - MOVIE_BORDER, y0 + b - MOVIE_BORDER)
    i = ((inner[1] + inner[3]) // 2 * picture.width + (inner[0] + inner[2]) // 2) * 3
    ref = tuple(picture.pixels[i:i + 3])
    if max(ref) < 24:
        return None
    off = picture.count(inner, lambda p: max(abs(p[k] - ref[k]) for k in range(3)) > MOVIE_TOLERANCE)
    return ref if off == 0 else None


def case_movie(s):
    """The movie demo: the test video (flat-colour pictures) plays scaled into (80, 80)-(560, 400),
    filling it with one colour at a time and changing colour as it plays and loops; the rest of
    the window stays black."""
    game = s.start(scale="1")
    window = s.window_of(game)
    seen = []

    def flat():
        picture, rect = s.window_picture(window)
        colour = movie_colour(picture, rect)
        if colour is not None and colour not in seen:
            seen.append(colour)
        return colour is not None

    if not wait_for(flat, 15, 0.2):
        raise Failure("the movie rectangle never showed one flat, non-black colour")
    picture, rect = s.last_picture, s.x.geometry(window)
    x0, y0 = rect[0], rect[1]
    rect = (x0, y0, x0 + rect[2], y0 + rect[3])
    if s.args.artifacts:
        os.makedirs(s.args.artifacts, exist_ok=True)
        with open(os.path.join(s.args.artifacts, "movie.ppm"), "wb") as f:
            f.write(picture.raw)
    l, t, r, b = MOVIE_RECT
    outside = [(0, 0, 640, t), (0, b, 640, 480), (0, t, l, b), (r, t, 640, b)]
    for area in outside:
        if not picture.is_black((x0 + area[0], y0 + area[1], x0 + area[2], y0 + area[3])):
            raise Failure(f"the window is not black outside the movie rectangle, in {area}")
    # The video shows ten colours a second: within a few seconds (and across a restart) the
    # rectangle must have shown several of them, not one frozen picture.
    wait_for(lambda: flat() and len(seen) >= 3, 6, 0.1)
    if len(seen) < 3:
        raise Failure(f"the movie does not play: only the colours {seen} were seen in 6 s")
    if not game.running():
        raise Failure(f"the demo ended with {game.proc.returncode} while the movie played:\n{game.stderr()}")
    quit_through_dialog(s, window, game, anywhere=True)


def save_artifact(s, picture, name):
    if s.args.artifacts:
        os.makedirs(s.args.artifacts, exist_ok=True)
        with open(os.path.join(s.args.artifacts, name), "wb") as f:
            f.write(picture.raw)


def region(picture, rect, area):
    """The bytes of a logical area of the window at `rect`, row by row."""
    x0, y0 = rect[0], rect[1]
    l, t, r, b = area
    return b"".join(picture.pixels[((y0 + y) * picture.width + x0 + l) * 3:((y0 + y) * picture.width + x0 + r) * 3]
                    for y in range(t, b))


def case_new_game(s):
    """With the sample data: the opening movie plays in the middle of the window; a click leads
    to the title; hovering over the first button shows its highlighted face, pressing it its
    pressed face; the release opens the name dialog; a typed name and Return start the first day,
    whose scene shows the edge tab at the window's left border."""
    game = s.start(scale="1")
    window = s.window_of(game)
    first_button = (234, 260, 402, 284)

    def movie_shown():
        picture, rect = s.window_picture(window)
        x0, y0 = rect[0], rect[1]
        inside = picture.count((x0 + 100, y0 + 100, x0 + 540, y0 + 380), lambda p: max(p) >= 40)
        return inside > 20000 and all(picture.is_black(c) for c in corners_of(rect, 1))

    if not wait_for(movie_shown, 15, 0.2):
        raise Failure("the opening movie did not show in the middle of a black window")
    save_artifact(s, s.last_picture, "new-game-1-opening.ppm")

    s.x.run("xdotool", "mousemove", "--window", str(window), "600", "20", "click", "1")

    def title_shown():
        picture, rect = s.window_picture(window)
        return not any(picture.is_black(c) for c in corners_of(rect, 1))

    if not wait_for(title_shown, 10, 0.2):
        raise Failure("a click during the opening movie did not lead to the title screen")
    picture, rect = s.window_picture(window)
    normal = region(picture, rect, first_button)
    save_artifact(s, picture, "new-game-2-title.ppm")

    s.x.run("xdotool", "mousemove", "--window", str(window), "315", "271")
    if not wait_for(lambda: region(*s.window_picture(window), first_button) != normal, 5, 0.2):
        raise Failure("hovering over the first title button did not change its face")
    picture, rect = s.window_picture(window)
    highlighted = region(picture, rect, first_button)
    save_artifact(s, picture, "new-game-3-title-hover.ppm")

    s.x.run("xdotool", "mousedown", "1")
    if not wait_for(lambda: region(*s.window_picture(window), first_button) not in (normal, highlighted), 5, 0.2):
        raise Failure("pressing the first title button did not show its pressed face")
    save_artifact(s, s.last_picture, "new-game-4-title-pressed.ppm")
    s.x.run("xdotool", "mouseup", "1")

    def dialog_shown():
        picture, rect = s.window_picture(window)
        return picture.count(rect, is_dark_blue) >= 1000

    if not wait_for(dialog_shown, 10, 0.2):
        raise Failure("the name dialog did not open after the new-game button")
    save_artifact(s, s.last_picture, "new-game-5-name-dialog.ppm")
    s.x.run("xdotool", "key", "--delay", "30", *(["BackSpace"] * 12))
    s.x.run("xdotool", "type", "--delay", "60", "Aki")
    time.sleep(0.5)
    save_artifact(s, s.window_picture(window)[0], "new-game-6-name-typed.ppm")
    s.x.key("Return")

    def first_day():
        picture, rect = s.window_picture(window)
        x0, y0 = rect[0], rect[1]
        tab = picture.count((x0, y0, x0 + 6, y0 + 480), lambda p: max(p) >= 40)
        return picture.count(rect, is_dark_blue) < 200 and tab > 1000

    if not wait_for(first_day, 15, 0.25):
        raise Failure("the first day's scene (with the edge tab at the left border) did not appear")
    time.sleep(3)
    save_artifact(s, s.window_picture(window)[0], "new-game-7-first-day.ppm")
    if not game.running():
        raise Failure(f"the game ended with {game.proc.returncode}:\n{game.stderr()}")
    quit_through_dialog(s, window, game, anywhere=True)


CASES = {
    "scene": case_scene,
    "movie": case_movie,
    "close-ok": case_close_ok,
    "close-cancel": case_close_cancel,
    "close-wm-delete": case_close_wm_delete,
    "second-start": case_second_start,
    "no-display": case_no_display,
    "new-game": case_new_game,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(list(CASES) + ["scale"]))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--artifacts", help="folder for the last screenshot of a failed case")
    args = parser.parse_args()
    if not os.access(args.exe, os.X_OK):
        print(f"not built: {args.exe}")
        return 1
    for tool in ("Xvfb", "xdotool", "xwininfo", "import"):
        if shutil.which(tool) is None:
            print(f"SKIP: {tool} is not installed")
            return SKIP
    try:
        if args.case == "scale":
            case_scale(args)
        else:
            s = Session(args, with_display=args.case != "no-display")
            try:
                CASES[args.case](s)
            except Failure:
                s.save_failure_picture(args.case)
                raise
            finally:
                s.close()
    except Skipped as e:
        print(f"SKIP: {e}")
        return SKIP
    except Failure as e:
        print(f"FAIL ({args.case}): {e}")
        return 1
    print(f"PASS ({args.case})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
