#!/usr/bin/env python3
"""The real program on a Wine desktop, driven and watched from outside.

Each test starts the 64-bit program under Wine, in an Xvfb and a Wine prefix
of the suite's own, with the bundled listing server on 127.0.0.1:18765 (the
address the win64 build polls). It acts as a user would: xdotool moves the
mouse, clicks, drags and types at screen points worked out from what the
desktop probe reports (the Wine virtual desktop lies at the top-left of the X
screen, so desktop and screen coordinates agree). It reads what a user would
see through the probe (window placement, control texts, the balloon) and
through screenshots, and what reached the server through its request log.

Usage (CTest passes the paths):
  test_desktop.py --wine-run PATH --program PATH --probe PATH --server PATH
                  --out DIR [unittest arguments, e.g. a test name]
"""

import argparse
import ctypes
import fcntl
import json
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import time
import unittest
import urllib.request
from dataclasses import dataclass, field

PORT = 18765
LISTING_PATH = "/yuexitong/"
INTERVAL = 15.0
# A balloon shows about 2 s after the alert and stays 10 s; a pass lasts at
# least 15 s, so every balloon falls inside the pass that raised it.
BALLOON_WINDOW = 8.0
# Scheduling on a busy machine (other Wine tests run beside this suite).
SLACK = 1.5
# With the sound alert ticked, an alert waits twice 500 ms between its beeps.
ALERT_WITH_SOUND = 1.0

# What each request of a program should look like; Host and the place of
# User-Agent come from WinInet, the rest is the program's own header text.
EXPECTED_REQUEST_LINE = "GET /yuexitong/ HTTP/1.1"
EXPECTED_HEADERS = [
    ["Host", "127.0.0.1:%d" % PORT],
    ["User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KEMRO; .NET CLR "
                   "2.0.50727; .NET CLR 3.0.04506.648; .NET CLR 3.5.21022)"],
    ["Referer", "http://127.0.0.1:%d/yuexitong/" % PORT],
    ["Accept", "*/*"],
    ["Accept-Language", "zh-cn"],
    ["Content-Type", "application/x-www-form-urlencoded"],
]

CONFIG = argparse.Namespace()
FIGURES = []


def figure(text):
    """A measured figure: printed for the log and kept for the summary file."""
    print(text, flush=True)
    FIGURES.append(text)


# ---------------------------------------------------------------- processes

@dataclass
class Desktop:
    """The X server and the environment every Wine program of the suite runs in."""
    xvfb: subprocess.Popen = None
    env: dict = field(default_factory=dict)


DESKTOP = Desktop()
# Wine programs started in the background, reaped after each test.
LAUNCHED = []


def die_with_parent():
    """In the child: end when the driver ends, even if it is killed outright."""
    ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def start_xvfb():
    """An Xvfb of the suite's own: other Wine tests may share the build's
    display, and their desktops would lie over this one at the same place."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
         "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        preexec_fn=die_with_parent)
    os.close(write_end)
    number = b""
    deadline = time.time() + 20
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.time()))
        chunk = os.read(read_end, 16) if ready else b""
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip():
        xvfb.kill()
        raise RuntimeError("Xvfb did not report its display")
    return xvfb, ":" + number.decode().strip()


def wine_env(display):
    env = dict(os.environ)
    env["DISPLAY"] = display
    env["WINEPREFIX"] = os.path.join(CONFIG.out, "wineprefix")
    return env


def kill_wine():
    """Ends every process of the suite's prefix: the program, the probe, the desktop."""
    for args in (["wineserver", "-k"], ["wineserver", "-w"]):
        try:
            subprocess.run(args, env=DESKTOP.env, timeout=30, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass


def setUpModule():
    os.makedirs(CONFIG.out, exist_ok=True)
    DESKTOP.xvfb, display = start_xvfb()
    DESKTOP.env = wine_env(display)
    kill_wine()  # nothing left over from an interrupted run
    # The first start of a fresh prefix takes a while; do it before any clock runs.
    probe("state", timeout=300)


def tearDownModule():
    kill_wine()
    if DESKTOP.xvfb is not None:
        DESKTOP.xvfb.terminate()
        try:
            DESKTOP.xvfb.wait(10)
        except subprocess.TimeoutExpired:
            DESKTOP.xvfb.kill()


def probe(*args, timeout=60):
    """Runs one probe command; returns its exit status and its "key value" lines.

    Everything it printed is kept under the key "output", for messages.
    """
    result = subprocess.run([CONFIG.wine_run, CONFIG.probe] + [str(a) for a in args],
                            env=DESKTOP.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=timeout)
    values = {}
    text = result.stdout.decode("utf-8", "replace")
    for line in text.splitlines():
        key, _, value = line.partition(" ")
        values.setdefault(key, value)
    values["output"] = "probe %s: status %d\n%s%s" % (
        " ".join(str(a) for a in args), result.returncode, text,
        result.stderr.decode("utf-8", "replace"))
    return result.returncode, values


def numbers(text):
    return [int(n) for n in text.split()]


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], env=DESKTOP.env, check=True,
                   timeout=20)


def click(point):
    xdo("mousemove", point[0], point[1], "click", 1)


def park_mouse():
    """Away from the controls and the tray, so that no hover tooltip shows."""
    xdo("mousemove", 700, 80)


def screenshot(path, geometry="800x600+0+0"):
    subprocess.run(["import", "-display", DESKTOP.env["DISPLAY"], "-window", "root", "-crop",
                    geometry, "+repage", path], check=True, timeout=30)


def sleep_until(moment):
    delay = moment - time.time()
    if delay > 0:
        time.sleep(delay)


# ---------------------------------------------------------------- the server

@dataclass
class Server:
    process: subprocess.Popen
    log_path: str


def start_server(log_path, mode, name, patience=60):
    """The listing server on the program's port, once no other server listens
    there (its requests would mix with ours); with --reuse-port, so that a
    test can hold the port while it is stopped."""
    give_up = time.time() + patience
    while port_answers():
        if time.time() >= give_up:
            raise RuntimeError("another server keeps listening on port %d" % PORT)
        time.sleep(1)
    output_path = os.path.join(CONFIG.out, name + ".out")
    with open(output_path, "w") as output:
        process = subprocess.Popen(
            [sys.executable, CONFIG.server, "--port", str(PORT), "--mode", mode, "--log",
             log_path, "--reuse-port"], stdout=output, stderr=subprocess.STDOUT,
            preexec_fn=die_with_parent)
    deadline = time.time() + 10
    while time.time() < deadline and process.poll() is None:
        with open(output_path) as f:
            if f.read().startswith("port "):
                return Server(process, log_path)
        time.sleep(0.05)
    if process.poll() is None:
        process.kill()
    process.wait()
    with open(output_path) as f:
        raise RuntimeError("the listing server did not start on port %d: %s" % (PORT, f.read()))


def port_answers():
    try:
        socket.create_connection(("127.0.0.1", PORT), timeout=2).close()
        return True
    except OSError:
        return False


def hold_port():
    """A socket bound beside the server but not listening: while the server
    is away, connections to the port are refused and no other program's
    server can take it (see the listing server's --reuse-port)."""
    placeholder = socket.socket()
    placeholder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
    placeholder.bind(("127.0.0.1", PORT))
    return placeholder


def stop_server(server):
    if server.process.poll() is None:
        server.process.terminate()
        try:
            server.process.wait(10)
        except subprocess.TimeoutExpired:
            server.process.kill()
            server.process.wait()


def set_mode(mode):
    request = urllib.request.Request("http://127.0.0.1:%d/control/mode" % PORT,
                                     data=mode.encode(), method="POST")
    with urllib.request.urlopen(request, timeout=10) as answer:
        answer.read()


def logged_requests(log_path):
    entries = []
    try:
        with open(log_path, encoding="utf-8") as f:
            for line in f:
                try:
                    entries.append(json.loads(line))
                except ValueError:
                    pass  # a line still being written
    except FileNotFoundError:
        pass
    return entries


def listing_requests(log_path):
    """The program's page requests (the redirect's second request excluded)."""
    return [e for e in logged_requests(log_path)
            if e["request_line"].split(" ")[1:2] == [LISTING_PATH]]


def wait_for_requests(log_path, count, timeout):
    deadline = time.time() + timeout
    while True:
        requests = listing_requests(log_path)
        if len(requests) >= count or time.time() >= deadline:
            return requests
        time.sleep(0.05)


# ---------------------------------------------------------------- the program

@dataclass
class Program:
    process: subprocess.Popen
    points: dict = field(default_factory=dict)


def start_program(name):
    with open(os.path.join(CONFIG.out, name + ".out"), "w") as output:
        process = subprocess.Popen([CONFIG.wine_run, CONFIG.program], env=DESKTOP.env,
                                   stdout=output, stderr=subprocess.STDOUT,
                                   start_new_session=True)
    LAUNCHED.append(process)
    status, _ = probe("wait", "window", 60000, timeout=90)
    if status != 0:
        raise RuntimeError("the program's window did not appear")
    return Program(process)


def read_points(program):
    status, values = probe("points")
    if status != 0:
        raise RuntimeError("the window is not shown: no points to click")
    program.points = {key: numbers(value) for key, value in values.items() if key != "output"}
    return program.points


def start_watch(path):
    """The probe that writes down every balloon until the window has gone."""
    process = subprocess.Popen(
        [CONFIG.wine_run, CONFIG.probe, "watch", wine_path(path), "900"], env=DESKTOP.env,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    LAUNCHED.append(process)
    return process


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


@dataclass
class Balloon:
    shown: float
    rect: list
    text: str


def balloons_seen(path):
    seen = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if parts[0] == "shown":
                seen.append(Balloon(float(parts[1]), numbers(parts[2]), parts[3]))
    return seen


def wait_state(check, timeout=10):
    """Probes the state until check(values) holds; returns the last values."""
    deadline = time.time() + timeout
    while True:
        _, values = probe("state")
        if check(values) or time.time() >= deadline:
            return values
        time.sleep(0.1)


def tray_icon_colours(values, path):
    """Colours in the place of the rightmost notification icon, as on the screen."""
    tray = numbers(values["tray"])
    screenshot(path, "20x%d+%d+%d" % (tray[3], tray[0] + tray[2] - 20, tray[1]))
    return int(subprocess.run(["identify", "-format", "%k", path], stdout=subprocess.PIPE,
                              check=True, timeout=30).stdout.decode())


def close_and_time(test, program, directory):
    """Clicks the close box; returns seconds until the process had ended."""
    before = probe("state")[1]
    hwnd = before["window"]
    test.assertGreater(tray_icon_colours(before, os.path.join(directory, "tray-before.png")), 1,
                       "no icon drawn in the notification area before the close")
    clicked = time.time()
    click(program.points["close_box"])
    try:
        program.process.wait(30)
    except subprocess.TimeoutExpired:
        test.fail("the program still runs 30 s after its close box was clicked")
    ended = time.time() - clicked
    values = probe("state")[1]
    test.assertEqual(values.get("window"), "none", "the window is still there")
    # Wine's taskbar also drops the icons of a process that ended without
    # removing them (Windows would leave them until the mouse passes over),
    # so under Wine this proves the icon is gone, not who removed it.
    test.assertEqual(probe("icon-registered", hwnd)[1]["icon_registered"], "0",
                     "the notification icon outlived the program")
    # The taskbar may be gone too; either way nothing is left in the icon's place.
    test.assertEqual(tray_icon_colours(before, os.path.join(directory, "tray-after.png")), 1,
                     "something is still drawn where the icon was")
    return ended


def is_centred(values):
    screen = numbers(values["screen"])
    left, top, width, height = numbers(values["rect"])
    return left == (screen[0] - width) // 2 and top == (screen[1] - height) // 2


def clock_text(moment):
    return time.strftime("%H:%M:%S", time.localtime(moment))


def images_differ(reference, candidate):
    """Pixels that differ by more than a trace of anti-aliasing."""
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", reference, candidate,
                             "null:"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            timeout=30)
    text = result.stderr.decode().strip().split(" ")[0]
    try:
        return int(float(text))
    except ValueError:
        return -1  # the images could not be compared (e.g. other sizes)


class ProgramTest(unittest.TestCase):
    """Fresh server and fresh Wine processes for each test; all ended afterwards."""

    def setUp(self):
        self.name = self.id().split(".")[-1]
        self.dir = os.path.join(CONFIG.out, self.name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.log_path = os.path.join(self.dir, "requests.jsonl")
        self.server = None
        self.addCleanup(self.stop_everything)

    def stop_everything(self):
        try:
            screenshot(os.path.join(self.dir, "at-end.png"))  # what the screen showed last
        except (subprocess.SubprocessError, OSError):
            pass
        with open(os.path.join(self.dir, "figures.txt"), "w", encoding="utf-8") as f:
            f.write("".join(line + "\n" for line in FIGURES))
        del FIGURES[:]
        kill_wine()
        while LAUNCHED:
            process = LAUNCHED.pop()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if self.server is not None:
            stop_server(self.server)

    def start_server(self, mode, name="server"):
        self.server = start_server(self.log_path, mode, os.path.join(self.name, name))

    def assert_request_as_sent(self, entry):
        self.assertEqual(entry["request_line"], EXPECTED_REQUEST_LINE)
        self.assertEqual(entry["headers"], EXPECTED_HEADERS)


# ---------------------------------------------------------------- the tests

# The passes of one watch, one page or fault each, after the start (pass 1,
# buyable) and an immediate restart (pass 2). Each mode that must not alert is
# followed by one that must, so that every fault is seen to be got over.
# "refused" is no server at all for that pass.
PASSES = [
    "buyable",                # another balloon, one pass later
    "buy-before-markup",      # buy marker only before the price markup: none
    "chunked",
    "empty",                  # what a failed request gives: none
    "redirect",               # followed by WinInet: two requests in the pass
    "reset-mid-body",         # body cut before the buy marker: none
    "invalid-utf8",
    "silent",                 # no answer: the program's own time-out ends the wait
    "big-headers",
    "error-500",
    "huge",                   # 64 MB, markers at its end
    "zero-before-markers",    # judged only up to the zero byte: none
    "refused",
    "buyable",
]


class WatchSession(ProgramTest):

    def test_watch_alerts_faults_stop_restart_and_close(self):
        """One watch through every page and fault, a restart, a stop and a close."""
        sys.path.insert(0, os.path.dirname(CONFIG.server))
        import listing_server
        alerts = dict(listing_server.ALERTS, refused=False)

        self.start_server("buyable")
        program = start_program(os.path.join(self.name, "program"))
        status, values = probe("state")
        self.assertTrue(values["title"].startswith("Vantrel by:"), values["title"])
        self.assertEqual(values["button"], "开始监控")
        self.assertEqual(values["sound_checked"], "1")
        self.assertTrue(is_centred(values), values["rect"])
        points = read_points(program)

        # The user types the least interval over what the box holds.
        click(points["edit_point"])
        xdo("key", "End", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "type", "15")
        self.assertEqual(wait_state(lambda v: v.get("edit") == "15")["edit"], "15")

        watch_path = os.path.join(self.dir, "balloons.tsv")
        start_watch(watch_path)
        # The first request goes out at once.
        clicked = time.time()
        click(points["start_button"])
        park_mouse()
        requests = wait_for_requests(self.log_path, 1, 10)
        self.assertEqual(len(requests), 1, "no request within 10 s of the start")
        first = requests[0]
        figure("first request %.3f s after the click on the start button"
               % (first["time"] - clicked))
        self.assertLess(first["time"] - clicked, SLACK)
        self.assert_request_as_sent(first)
        values = probe("state")[1]
        self.assertEqual(values["button"], "停止")
        self.assertEqual(values["edit_enabled"], "0")

        self.check_first_balloon(first)

        # A stop and a start straight after it, in the pause after the first pass.
        set_mode("no-buy")
        sleep_until(first["time"] + 5)
        clicked = time.time()
        click(points["start_button"])
        click(points["start_button"])
        park_mouse()
        requests = wait_for_requests(self.log_path, 2, 10)
        self.assertEqual(len(requests), 2, "no request after the restart")
        figure("request after stop+start %.3f s after the second click"
               % (requests[1]["time"] - clicked))
        self.assertLess(requests[1]["time"] - clicked, SLACK + 1)
        self.assertEqual(probe("state")[1]["button"], "停止")

        modes = ["buyable", "no-buy"]
        for mode in PASSES:
            modes.append(mode)
            self.run_pass(mode, listing_requests(self.log_path)[-1])
        last = listing_requests(self.log_path)[-1]

        # Stop in the pause after the last pass: nothing more is asked.
        sleep_until(last["time"] + 3)
        clicked = time.time()
        click(points["start_button"])
        values = wait_state(lambda v: v.get("button") == "开始监控", 5)
        figure("stop: caption back and edit box enabled %.2f s after the click"
               % (time.time() - clicked))
        park_mouse()
        self.assertEqual(values["button"], "开始监控")
        self.assertEqual(values["edit_enabled"], "1")
        quiet_until = last["time"] + INTERVAL + ALERT_WITH_SOUND + 4
        sleep_until(quiet_until)
        asked = len([mode for mode in modes if mode != "refused"])
        self.assertEqual(len(listing_requests(self.log_path)), asked, "a request after the stop")
        figure("after the stop %.1f s into the pause: no request in the %.1f s that followed"
               % (3, quiet_until - last["time"] - 3))

        # Start again, then close in the pause that follows the request.
        set_mode("no-buy")
        click(points["start_button"])
        park_mouse()
        requests = wait_for_requests(self.log_path, asked + 1, 10)
        self.assertEqual(len(requests), asked + 1, "no request after the start")
        modes.append("no-buy")
        sleep_until(requests[-1]["time"] + 3)
        ended = close_and_time(self, program, self.dir)
        figure("closed during a pause: process ended %.3f s after the click" % ended)
        self.assertLess(ended, 5)

        self.check_passes(modes, alerts, watch_path, watch_ends={0, len(modes) - 2})

    def check_first_balloon(self, first):
        status, values = probe("wait", "balloon", 10000)
        self.assertEqual(status, 0, "no balloon for the buyable page")
        seen = float(values["held"].split()[1])
        figure("first balloon seen %.3f s after the request" % (seen - first["time"]))
        values = probe("state")[1]
        self.assertEqual(values["balloon"], "1")
        text = values["balloon_text"]
        self.assertTrue(text.endswith("有新债权"), text)
        self.assertIn(text[:8], {clock_text(first["time"] + d) for d in range(-1, 4)})
        # The title is not to be had from the tooltip under Wine: it is read
        # from the screen, against a picture of the right one.
        left, top = numbers(values["balloon_rect"])[:2]
        title_box = "74x23+%d+%d" % (left + 6, top + 6)
        title_path = os.path.join(self.dir, "balloon-title.png")
        reference = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                 "balloon_title.png")
        deadline = time.time() + 3
        while True:  # the balloon may be a moment later on the screen than in the window list
            screenshot(title_path, title_box)
            differing = images_differ(reference, title_path)
            if differing == 0 or time.time() >= deadline:
                break
            time.sleep(0.1)
        screenshot(os.path.join(CONFIG.out, "screenshot-balloon.png"))
        self.assertEqual(differing, 0, "the balloon title differs from %s: see %s"
                         % (reference, title_path))
        figure("balloon %s at %s, text %r" % (values["balloon_rect"], title_box, text))

    def run_pass(self, mode, previous):
        """Serves mode for the next pass, and waits for that pass's request."""
        count = len(listing_requests(self.log_path))
        if mode == "refused":
            # The previous page was answered at once; the next request comes
            # at the end of the pause, into no server. The server is back
            # well before the pass after.
            sleep_until(previous["time"] + 2)
            placeholder = hold_port()
            try:
                stop_server(self.server)
                sleep_until(previous["time"] + INTERVAL + 5)
                values = probe("state")[1]
                self.assertEqual(values["responsive"].split()[0], "1")
                self.start_server("buyable", "server-again")
            finally:
                placeholder.close()
            return
        set_mode(mode)
        timeout = INTERVAL + 40 + (40 if previous["mode"] in ("silent", "huge") else 0)
        requests = wait_for_requests(self.log_path, count + 1, timeout)
        self.assertEqual(len(requests), count + 1, "no request for the %s pass" % mode)
        now = requests[-1]
        self.assertEqual(now["mode"], mode)
        if mode in ("silent", "huge"):
            self.check_responsive_during(now, mode)
        else:
            status, values = probe("state")
            self.assertEqual(status, 0, "the window has gone during the %s pass" % mode)
            self.assertEqual(values["responsive"].split()[0], "1",
                             "no answer from the window during the %s pass" % mode)

    def check_responsive_during(self, request, mode):
        """The user ticks the sound box off and on while the worker waits."""
        sleep_until(request["time"] + 2)
        point = self.points_now()["sound_point"]
        for wanted in ("0", "1"):
            clicked = time.time()
            click(point)
            values = wait_state(lambda v: v.get("sound_checked") == wanted, 5)
            self.assertEqual(values["sound_checked"], wanted,
                             "the check box did not follow the click during %s" % mode)
            figure("during %s: the check box followed a click within %.2f s"
                   % (mode, time.time() - clicked))
        park_mouse()

    def points_now(self):
        status, values = probe("points")
        return {key: numbers(value) for key, value in values.items() if key != "output"}

    def check_passes(self, modes, alerts, watch_path, watch_ends):
        """Timing of every pass and the balloons each one raised.

        watch_ends: indices of passes after which the user stopped the watch,
        so that the next request is not one interval later.
        """
        requests = listing_requests(self.log_path)
        balloons = balloons_seen(watch_path)
        for entry in requests:
            self.assert_request_as_sent(entry)
        redirected = [e for e in logged_requests(self.log_path)
                      if e["request_line"].startswith("GET /yuexitong/moved/ ")]
        self.assertEqual(len(redirected), 1, "the redirect was not followed once")
        # Pair each pass with its request; the refused pass has none.
        served = iter(requests)
        times = [None if mode == "refused" else next(served)["time"] for mode in modes]
        self.assertIsNone(next(served, None), "more requests than passes")
        for index, mode in enumerate(modes):
            start = times[index]
            if start is None:
                continue
            later = [t for t in times[index + 1:] if t is not None]
            end = later[0] if later else start + BALLOON_WINDOW
            shown = [b for b in balloons if start <= b.shown < end]
            line = "pass %2d %-20s" % (index + 1, mode)
            if shown:
                line += " balloon +%.2f s" % (shown[0].shown - start)
            self.assertEqual(len(shown), 1 if alerts[mode] else 0,
                             "%s: %d balloons" % (line, len(shown)))
            for balloon in shown:
                times_of_day = {clock_text(t) for t in range(int(start) - 1,
                                                             int(balloon.shown) + 2)}
                self.assertIn(balloon.text[:8], times_of_day, line)
                self.assertTrue(balloon.text.endswith("有新债权"), balloon.text)
            if index in watch_ends:
                line += " (then the user stopped the watch)"
            elif later:
                gap = later[0] - start
                passes = 1 if times[index + 1] is not None else 2
                line += " next request after %.2f s" % gap
                if passes == 2:
                    line += " (across the refused pass)"
                least = passes * INTERVAL + (ALERT_WITH_SOUND if alerts[mode] else 0)
                self.assertGreaterEqual(gap, least - 0.2, line)
                self.assertLess(gap, least + passes * SLACK + request_allowance(mode), line)
            figure(line)


def request_allowance(mode):
    """How long the page of a mode may keep the worker, beyond a plain page.

    A silent server is given up after the program's own receive time-out of
    30 s; the server would stay silent for 40 s, so waiting for it shows.
    """
    return {"silent": 30.0 + 2.0, "huge": 30.0, "reset-mid-body": 1.0}.get(mode, 0.0)


class MinimiseRestore(ProgramTest):

    def test_fifty_minimise_restore_cycles_through_the_icon(self):
        """Drag away, minimise, double-click the icon: back at the centre, 50 times."""
        program = start_program(os.path.join(self.name, "program"))
        values = probe("state")[1]
        hwnd = values["window"]
        centre = numbers(values["rect"])
        self.assertTrue(is_centred(values))
        points = read_points(program)
        caption = [centre[0] + 60, centre[1] + 10]
        tray_icon = points["tray_icon"]
        memory = {0: self.working_set()}
        # Offsets from the centre that keep the caption bar on the screen.
        offsets = [(-200, -150), (180, 120), (-120, 160), (220, -200)]
        slowest = 0.0
        for cycle in range(1, 51):
            began = time.time()
            dx, dy = offsets[cycle % len(offsets)]
            # A hand's pace: Wine's move loop starts from where the pointer is
            # when it has taken the press, not where the press happened.
            xdo("mousemove", caption[0], caption[1], "mousedown", 1, "sleep", 0.1,
                "mousemove", caption[0] + dx // 2, caption[1] + dy // 2, "sleep", 0.1,
                "mousemove", caption[0] + dx, caption[1] + dy, "sleep", 0.1, "mouseup", 1)
            status, values = probe("wait", "off-centre", 15000)
            self.assertEqual(status, 0, "cycle %d: the drag did not move the window\n%s"
                             % (cycle, values["output"]))
            moved = numbers(values["rect"])
            self.assertEqual(moved[:2], [centre[0] + dx, centre[1] + dy])
            minimise = points["minimise_box"]
            click([minimise[0] + dx, minimise[1] + dy])
            status, values = probe("wait", "hidden", 15000)
            self.assertEqual(status, 0, "cycle %d: minimising did not hide the window\n%s"
                             % (cycle, values["output"]))
            self.assertEqual(values["taskbar_buttons"], "0",
                             "cycle %d: a taskbar button is left" % cycle)
            if cycle in (1, 50):
                self.assertEqual(probe("icon-registered", hwnd)[1]["icon_registered"], "1")
            xdo("mousemove", tray_icon[0], tray_icon[1], "click", "--repeat", 2, "--delay", 80, 1)
            park_mouse()
            status, values = probe("wait", "shown", 15000)
            self.assertEqual(status, 0, "cycle %d: the double-click did not bring it back\n%s"
                             % (cycle, values["output"]))
            self.assertEqual(numbers(values["rect"]), centre, "cycle %d: not centred" % cycle)
            self.assertEqual(values["iconic"], "0")
            self.assertEqual(values["taskbar_buttons"], "1")
            slowest = max(slowest, time.time() - began)
            if cycle in (1, 10, 25, 50):
                memory[cycle] = self.working_set()
        figure("50 cycles of drag, minimise and double-click, the slowest %.2f s" % slowest)
        # The first cycle brings in what minimising and restoring need at all;
        # after it both stay within a few pages. A leak of the icon image in
        # each cycle would add 50 x 37 KB.
        for index, name in enumerate(("working set", "committed (pagefile)")):
            figure("%s (KiB) before cycle 1 and after cycles 1, 10, 25, 50: %s" % (
                name, ", ".join("%d" % (memory[k][index] // 1024) for k in sorted(memory))))
            growth = memory[50][index] - memory[1][index]
            figure("%s growth from cycle 1 to 50: %d KiB" % (name, growth // 1024))
            self.assertLess(growth, 256 * 1024, name)

    def working_set(self):
        """The working set and the committed bytes, from GetProcessMemoryInfo."""
        status, values = probe("memory")
        self.assertEqual(status, 0)
        return int(values["working_set"]), int(values["pagefile"])


class CloseDuringRequest(ProgramTest):

    def test_close_while_the_server_keeps_silent(self):
        """Closed in the middle of a request, the program ends at once."""
        self.start_server("silent")
        program = start_program(os.path.join(self.name, "program"))
        points = read_points(program)
        click(points["start_button"])
        park_mouse()
        requests = wait_for_requests(self.log_path, 1, 10)
        self.assertEqual(len(requests), 1)
        sleep_until(requests[0]["time"] + 2)  # well inside the silence
        self.assertEqual(probe("state")[1]["responsive"].split()[0], "1")
        ended = close_and_time(self, program, self.dir)
        figure("closed during a request: process ended %.3f s after the click" % ended)
        self.assertLess(ended, 5)


class OutOfTime(Exception):
    pass


def out_of_time(signum, frame):
    raise OutOfTime("the test ran past its time limit")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    for name in ("--wine-run", "--program", "--probe", "--server", "--out"):
        parser.add_argument(name, required=True)
    parser.add_argument("--time-limit", type=int, default=0,
                        help="seconds after which the run fails and cleans up")
    args, rest = parser.parse_known_args()
    vars(CONFIG).update(vars(args))
    CONFIG.out = os.path.abspath(CONFIG.out)
    # Fail on our own before CTest's time-out kills the driver, so that the
    # clean-up still ends Wine, the server and the X server; a stop from
    # outside is turned into the same clean failure.
    signal.signal(signal.SIGALRM, out_of_time)
    signal.signal(signal.SIGTERM, out_of_time)
    if CONFIG.time_limit > 0:
        signal.alarm(CONFIG.time_limit)
    # Runs from other CTest processes on the same build share the prefix and
    # the port: one at a time.
    os.makedirs(CONFIG.out, exist_ok=True)
    with open(os.path.join(CONFIG.out, "run.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
