#!/usr/bin/env python3
"""Checks the listing server over real sockets, the way the program meets it.

The end-to-end tests trust this server to show exactly the page or the fault
they ask for; if it quietly served the wrong thing they would pass or fail
for the wrong reason. So every mode is fetched here over TCP and its bytes
are judged with the program's own detection rule, written out again below
from the rule itself rather than taken from the server.

Run: python3 tools/test_listing_server.py
"""

import itertools
import json
import os
import select
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

TOOLS = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(TOOLS, "listing_server.py")
sys.path.insert(0, TOOLS)
import listing_server  # noqa: E402  (only for its table of expected alerts)

# The three markers, spelt out independently of the server's constants so
# that a typo there is caught here.
HEADING = "其他投资人转让项目"
MARKUP = '<span class="rmb">￥</span>'
BUY = "购买"
MARKERS = {"heading": HEADING, "markup": MARKUP, "buy": BUY}
HUGE_SIZE = 64 * 1024 * 1024
ASCII_LOWER = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                            "abcdefghijklmnopqrstuvwxyz")


def ascii_lower(text):
    """Only A-Z fold, as the program folds them; nothing else changes."""
    return text.translate(ASCII_LOWER)


def page_text(body):
    """The page as the program judges it: up to the first zero byte, bad
    UTF-8 replaced (Python resynchronises at the next lead byte, as Windows
    does)."""
    return body.split(b"\0", 1)[0].decode("utf-8", "replace")


def would_alert(body):
    """The detection rule: the buy marker at or after the price markup that
    follows the heading; without heading or markup, anywhere."""
    text = ascii_lower(page_text(body))
    section = text.find(HEADING)
    start = text.find(ascii_lower(MARKUP), section) if section >= 0 else -1
    return text.find(BUY, max(start, 0)) >= 0


def marker_sequence(body):
    """Names of all marker occurrences in page order (markup in any case)."""
    text = ascii_lower(page_text(body))
    found = []
    for name, marker in MARKERS.items():
        position = text.find(ascii_lower(marker))
        while position >= 0:
            found.append((position, name))
            position = text.find(ascii_lower(marker), position + 1)
    return [name for _, name in sorted(found)]


def start_server(*args, port=0):
    """Start the server (by default on a free port); returns (process, port)."""
    stderr = tempfile.TemporaryFile()
    process = subprocess.Popen(
        [sys.executable, SERVER, "--port", str(port)] + list(args),
        stdout=subprocess.PIPE, stderr=stderr)
    process.stderr_file = stderr
    ready, _, _ = select.select([process.stdout], [], [], 10)
    line = process.stdout.readline().decode() if ready else ""
    if not line.startswith("port "):
        process.kill()
        raise RuntimeError("server did not report its port: %r" % line)
    return process, int(line.split()[1])


def stop_server(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    process.stdout.close()
    process.stderr_file.close()


def server_stderr(process):
    process.stderr_file.seek(0)
    return process.stderr_file.read().decode("utf-8", "replace")


def connect(port, timeout=10):
    sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    return sock


def request_bytes(port, path, method="GET", headers=(), body=b""):
    lines = ["%s %s HTTP/1.1" % (method, path), "Host: 127.0.0.1:%d" % port]
    lines += ["%s: %s" % pair for pair in headers]
    if body:
        lines.append("Content-Length: %d" % len(body))
    return ("\r\n".join(lines) + "\r\n\r\n").encode() + body


def read_to_close(sock):
    data = bytearray()
    while True:
        piece = sock.recv(65536)
        if not piece:
            return bytes(data)
        data += piece


def exchange(port, path, method="GET", headers=(), body=b""):
    """One request over a fresh connection; the raw answer up to its close."""
    with connect(port) as sock:
        sock.sendall(request_bytes(port, path, method, headers, body))
        return read_to_close(sock)


def split_response(raw):
    """(status, [(name, value)], body, header block length)."""
    head, _, body = raw.partition(b"\r\n\r\n")
    lines = head.decode("iso-8859-1").split("\r\n")
    status = int(lines[0].split()[1])
    headers = [tuple(part.strip() for part in line.split(":", 1))
               for line in lines[1:]]
    return status, headers, body, len(head) + 4


def header(headers, name):
    values = [v for n, v in headers if n.lower() == name.lower()]
    return values[0] if values else None


def fetch(port, path="/yuexitong/"):
    return split_response(exchange(port, path))


def control(port, body):
    """POST /control/mode; returns (status, parsed JSON or error text)."""
    status, _, answer, _ = split_response(
        exchange(port, "/control/mode", "POST", body=body.encode()))
    text = answer.decode()
    return status, json.loads(text) if status == 200 else text


def dechunk(body):
    """Strictly decode a chunked body; returns the list of chunks."""
    chunks = []
    rest = body
    while True:
        size_line, sep, rest = rest.partition(b"\r\n")
        if not sep:
            raise ValueError("chunk size line without CRLF")
        size = int(size_line, 16)
        if size == 0:
            if rest != b"\r\n":
                raise ValueError("bytes after the last chunk: %r" % rest)
            return chunks
        if rest[size:size + 2] != b"\r\n":
            raise ValueError("chunk not followed by CRLF")
        chunks.append(rest[:size])
        rest = rest[size + 2:]


class ListingServerTest(unittest.TestCase):
    """One server for the whole class; each test sets its mode for one or
    a few requests, so the default stays "buyable" between tests."""

    @classmethod
    def setUpClass(cls):
        cls.log_dir = tempfile.TemporaryDirectory()
        cls.log_path = os.path.join(cls.log_dir.name, "requests.jsonl")
        cls.process, cls.port = start_server("--log", cls.log_path)

    @classmethod
    def tearDownClass(cls):
        stop_server(cls.process)
        cls.log_dir.cleanup()

    def set_mode(self, body):
        status, answer = control(self.port, body)
        self.assertEqual(status, 200, answer)
        return answer

    def log_entries(self):
        with open(self.log_path, encoding="utf-8") as f:
            return [json.loads(line) for line in f]

    def test_page_variants(self):
        # (mode, markers in page order, alerts, why the variant matters)
        cases = [
            ("buyable", ["heading", "markup", "buy", "markup"], True,
             "the listing that must raise an alert"),
            ("no-heading", ["buy"], True,
             "without the heading a buy marker anywhere counts"),
            ("no-buy", ["heading", "markup", "markup"], False,
             "listings all sold: nothing to buy"),
            ("buy-before-markup", ["heading", "buy", "markup"], False,
             "the buy marker is searched only from the markup on"),
            ("heading-no-markup-buy-before", ["buy", "heading"], True,
             "heading without markup: the whole page is searched"),
            ("upper-markup", ["heading", "markup", "buy"], True,
             "ASCII case is ignored in the markup"),
            ("empty", [], False, "a failed or empty answer"),
        ]
        for mode, markers, alerts, why in cases:
            with self.subTest(mode=mode, why=why):
                self.set_mode(mode + " 1")
                status, headers, body, _ = fetch(self.port)
                self.assertEqual(status, 200)
                self.assertEqual(header(headers, "Content-Type"),
                                 "text/html; charset=utf-8")
                self.assertEqual(int(header(headers, "Content-Length")),
                                 len(body))
                body.decode("utf-8")  # strict: these pages are clean UTF-8
                self.assertEqual(marker_sequence(body), markers)
                self.assertEqual(would_alert(body), alerts)
                self.assertEqual(listing_server.ALERTS[mode], alerts)
        self.set_mode("upper-markup 1")
        self.assertIn('<SPAN CLASS="RMB">￥</SPAN>'.encode(),
                      fetch(self.port)[2])

    def test_override_serves_its_count_then_the_default_returns(self):
        self.set_mode("no-buy")
        self.addCleanup(self.set_mode, "buyable")
        settings = self.set_mode("mode=empty&count=2")
        self.assertEqual((settings["default"], settings["override"],
                          settings["remaining"]), ("no-buy", "empty", 2))
        served = [len(fetch(self.port)[2]) == 0]
        # Neither control requests nor other paths use up the count.
        fetch(self.port, "/control/mode")
        fetch(self.port, "/yuexitong/moved/")
        fetch(self.port, "/favicon.ico")
        served += [len(fetch(self.port)[2]) == 0 for _ in range(2)]
        self.assertEqual(served, [True, True, False])
        modes = [e["mode"] for e in self.log_entries()
                 if e["request_line"] == "GET /yuexitong/ HTTP/1.1"][-3:]
        self.assertEqual(modes, ["empty", "empty", "no-buy"])

    def test_bad_control_requests_change_nothing(self):
        before = fetch(self.port, "/control/mode")[2]
        # (body, why it is refused)
        cases = [
            ("", "no mode named"),
            ("bogus", "unknown mode"),
            ("buyable 0", "a count below 1 would never serve"),
            ("buyable two", "count not a number"),
            ("buyable 1 2", "too many words"),
            ("count=2", "a count without a mode"),
            ("mode=buyable&colour=red", "unknown field"),
            ("mode=buyable&mode=empty", "field given twice"),
            ("silence=-1", "negative silence"),
            ("silence=soon", "silence not a number"),
        ]
        for body, why in cases:
            with self.subTest(body=body, why=why):
                status, answer = control(self.port, body)
                self.assertEqual(status, 400, answer)
        self.assertEqual(fetch(self.port, "/control/mode")[2], before)

    def test_reset_mid_body(self):
        self.set_mode("reset-mid-body 1")
        data = bytearray()
        with connect(self.port) as sock:
            sock.sendall(request_bytes(self.port, "/yuexitong/"))
            with self.assertRaises(ConnectionResetError):
                while True:
                    piece = sock.recv(65536)
                    if not piece:
                        break  # an orderly close fails the assertRaises
                    data += piece
        status, headers, body, _ = split_response(bytes(data))
        self.assertEqual(status, 200)
        self.assertGreater(int(header(headers, "Content-Length")), len(body))
        self.assertEqual(marker_sequence(body), ["heading", "markup"])
        self.assertFalse(would_alert(body))

    def test_silent_answers_nothing_and_others_are_served_meanwhile(self):
        self.set_mode("mode=silent&count=1&silence=1")
        self.addCleanup(self.set_mode, "silence=40")
        with connect(self.port) as silent:
            started = time.monotonic()
            silent.sendall(request_bytes(self.port, "/yuexitong/", headers=[
                ("User-Agent", "silent-probe")]))
            # The request is in the log while the server still says nothing.
            deadline = time.monotonic() + 5
            while not any(dict(map(tuple, e["headers"])).get("User-Agent")
                          == "silent-probe" for e in self.log_entries()):
                self.assertLess(time.monotonic(), deadline)
                time.sleep(0.02)
            # Another client is served in full meanwhile.
            status, _, body, _ = fetch(self.port)
            self.assertEqual((status, would_alert(body)), (200, True))
            self.assertEqual(select.select([silent], [], [], 0)[0], [])
            self.assertEqual(read_to_close(silent), b"")
            self.assertGreaterEqual(time.monotonic() - started, 0.9)

    def test_huge_page_streams_64_mb_with_the_markers_at_the_end(self):
        self.set_mode("huge 1")
        tail_size = 8192
        first_marker = {}
        total = 0
        overlap = b""
        with connect(self.port) as sock:
            sock.sendall(request_bytes(self.port, "/yuexitong/"))
            head = b""
            while b"\r\n\r\n" not in head:
                head += sock.recv(4096)
            head, _, rest = head.partition(b"\r\n\r\n")
            status, headers, _, _ = split_response(head + b"\r\n\r\n")
            self.assertEqual(status, 200)
            self.assertEqual(int(header(headers, "Content-Length")),
                             HUGE_SIZE)
            tail = b""
            pieces = iter(lambda: sock.recv(1 << 20), b"")
            for piece in itertools.chain([rest], pieces):
                # Search across piece boundaries for each marker's first place.
                window = overlap + piece
                for name, marker in MARKERS.items():
                    found = window.find(marker.encode())
                    if name not in first_marker and found >= 0:
                        first_marker[name] = total - len(overlap) + found
                total += len(piece)
                overlap = window[-32:]
                tail = (tail + piece)[-tail_size:]
        self.assertEqual(total, HUGE_SIZE)
        self.assertEqual(set(first_marker), set(MARKERS))
        self.assertGreater(min(first_marker.values()), HUGE_SIZE - tail_size)
        self.assertTrue(would_alert(tail))

    def test_clients_that_vanish_do_not_hurt_the_server(self):
        # (what the client does before it goes)
        self.set_mode("mode=huge&count=1")
        with connect(self.port) as sock:  # leaves 1 MB into 64 MB
            sock.sendall(request_bytes(self.port, "/yuexitong/"))
            sock.recv(1 << 20)
        self.set_mode("mode=silent&count=1&silence=0.2")
        self.addCleanup(self.set_mode, "silence=40")
        with connect(self.port) as sock:  # leaves during the silence
            sock.sendall(request_bytes(self.port, "/yuexitong/"))
        with connect(self.port):  # leaves without a word
            pass
        with connect(self.port) as sock:  # leaves mid request line
            sock.sendall(b"GET /yuex")
        time.sleep(0.5)  # the huge answer meets the closed socket meanwhile
        status, _, body, _ = fetch(self.port)
        self.assertEqual((status, would_alert(body)), (200, True))
        self.assertIsNone(self.process.poll())
        self.assertEqual(server_stderr(self.process), "")

    def test_big_headers(self):
        self.set_mode("big-headers 1")
        status, headers, body, header_block = fetch(self.port)
        self.assertEqual(status, 200)
        self.assertGreater(header_block, 5000)
        self.assertEqual(int(header(headers, "Content-Length")), len(body))
        self.assertEqual(marker_sequence(body),
                         ["heading", "markup", "buy", "markup"])

    def test_invalid_utf8_keeps_the_markers_whole(self):
        self.set_mode("invalid-utf8 1")
        status, _, body, _ = fetch(self.port)
        self.assertEqual(status, 200)
        with self.assertRaises(UnicodeDecodeError):
            body.decode("utf-8")
        self.assertIn(b"\xff", body)
        # A sequence cut short by the buy marker's own lead bytes, and one
        # cut short by the end of the page.
        self.assertIn(b"\xe8\xb4" + BUY.encode(), body)
        with self.assertRaises(UnicodeDecodeError):
            body[-2:].decode("utf-8")
        self.assertEqual(marker_sequence(body),
                         ["heading", "markup", "buy", "markup"])
        self.assertTrue(would_alert(body))
        self.assertTrue(listing_server.ALERTS["invalid-utf8"])

    def test_zero_byte_hides_the_markers(self):
        self.set_mode("zero-before-markers 1")
        status, _, body, _ = fetch(self.port)
        self.assertEqual(status, 200)
        self.assertEqual(body.count(b"\0"), 1)
        self.assertFalse(would_alert(body))
        self.assertTrue(would_alert(body.replace(b"\0", b"")))

    def test_redirect_to_the_buyable_page(self):
        self.set_mode("redirect 1")
        with connect(self.port) as sock:
            sock.sendall(request_bytes(self.port, "/yuexitong/"))
            raw = read_to_close(sock)  # the server closes after the answer
        status, headers, body, _ = split_response(raw)
        self.assertEqual(status, 302)
        self.assertEqual(header(headers, "Connection"), "close")
        self.assertEqual(int(header(headers, "Content-Length")), len(body))
        self.assertEqual(marker_sequence(body), [])
        prefix = "http://127.0.0.1:%d" % self.port
        location = header(headers, "Location")
        self.assertTrue(location.startswith(prefix + "/"), location)
        status, _, body, _ = fetch(self.port, location[len(prefix):])
        self.assertEqual((status, would_alert(body)), (200, True))

    def test_chunked_cuts_inside_every_marker(self):
        self.set_mode("chunked 1")
        status, headers, body, _ = fetch(self.port)
        self.assertEqual(status, 200)
        self.assertEqual(header(headers, "Transfer-Encoding"), "chunked")
        self.assertIsNone(header(headers, "Content-Length"))
        chunks = dechunk(body)
        page = b"".join(chunks)
        page.decode("utf-8")
        self.assertTrue(would_alert(page))
        boundaries = set()
        position = 0
        for chunk in chunks[:-1]:
            position += len(chunk)
            boundaries.add(position)
        for name, marker in MARKERS.items():
            with self.subTest(marker=name):
                start = page.find(marker.encode())
                inside = range(start + 1, start + len(marker.encode()))
                self.assertTrue(boundaries.intersection(inside))

    def test_error_500(self):
        self.set_mode("error-500 1")
        status, headers, body, _ = fetch(self.port)
        self.assertEqual(status, 500)
        self.assertEqual(header(headers, "Content-Type"),
                         "text/html; charset=utf-8")
        self.assertTrue(body)
        self.assertEqual(marker_sequence(body), [])

    def test_log_line_of_a_request(self):
        sent = [("User-Agent", "log-probe"),
                ("Referer", "http://example.test/yuexitong/"),
                ("Accept", "*/*"), ("Accept-Language", "zh-cn"),
                ("X-Twice", "one"), ("X-Twice", "two")]
        before = time.time()
        with connect(self.port) as sock:
            sock.sendall(request_bytes(self.port, "/yuexitong/", headers=sent))
            client = list(sock.getsockname())
            read_to_close(sock)
        after = time.time()
        entry = [e for e in self.log_entries()
                 if ["User-Agent", "log-probe"] in e["headers"]][-1]
        self.assertEqual(set(entry), {"time", "client", "request_line",
                                      "headers", "mode"})
        self.assertIsInstance(entry["time"], float)
        self.assertTrue(before <= entry["time"] <= after)
        self.assertEqual(entry["client"], client)
        self.assertEqual(entry["request_line"], "GET /yuexitong/ HTTP/1.1")
        self.assertEqual(entry["headers"],
                         [["Host", "127.0.0.1:%d" % self.port]]
                         + [list(pair) for pair in sent])
        self.assertEqual(entry["mode"], "buyable")
        # The log over HTTP is the file, up to and including that request.
        _, headers, body, _ = fetch(self.port, "/control/log")
        with open(self.log_path, encoding="utf-8") as f:
            file_lines = f.read().splitlines()
        served_lines = body.decode().splitlines()
        self.assertEqual(served_lines, file_lines[:len(served_lines)])
        self.assertEqual(json.loads(served_lines[-1])["request_line"],
                         "GET /control/log HTTP/1.1")

    def test_listens_on_loopback_only(self):
        if not os.path.exists("/proc/net/tcp"):
            self.skipTest("needs Linux's /proc/net/tcp")
        listening = []
        for table in ("/proc/net/tcp", "/proc/net/tcp6"):
            if not os.path.exists(table):
                continue
            with open(table) as f:
                for line in f.readlines()[1:]:
                    local, state = line.split()[1], line.split()[3]
                    address, port = local.rsplit(":", 1)
                    if state == "0A" and int(port, 16) == self.port:
                        listening.append(address)
        self.assertEqual(listening, ["0100007F"])  # 127.0.0.1, little-endian


class CommandLineTest(unittest.TestCase):
    def test_mode_and_silence_options_set_the_defaults(self):
        process, port = start_server("--mode", "silent", "--silence", "0.3")
        try:
            self.assertEqual(exchange(port, "/yuexitong/"), b"")
            settings = json.loads(fetch(port, "/control/mode")[2])
            self.assertEqual((settings["default"], settings["silence"]),
                             ("silent", 0.3))
        finally:
            stop_server(process)

    def test_signals_stop_the_server_cleanly(self):
        for signum in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=signum.name):
                process, port = start_server()
                try:
                    # A client held in a 40 s silence must not delay the exit.
                    control(port, "silent 1")
                    sock = connect(port)
                    sock.sendall(request_bytes(port, "/yuexitong/"))
                    time.sleep(0.2)
                    process.send_signal(signum)
                    self.assertEqual(process.wait(5), 0)
                    self.assertEqual(server_stderr(process), "")
                    sock.close()
                finally:
                    stop_server(process)

    def test_address_in_use_is_reported(self):
        process, port = start_server()
        try:
            second = subprocess.run(
                [sys.executable, SERVER, "--port", str(port)],
                capture_output=True, timeout=10)
            self.assertEqual(second.returncode, 1)
            self.assertIn(b"cannot listen", second.stderr)
        finally:
            stop_server(process)

    def test_a_placeholder_keeps_a_reused_port_while_the_server_is_away(self):
        process, port = start_server("--reuse-port")
        placeholder = socket.socket()
        try:
            placeholder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
            placeholder.bind(("127.0.0.1", port))
            self.assertEqual(fetch(port)[0], 200)  # the server still answers
            stop_server(process)
            with self.assertRaises(ConnectionRefusedError):
                connect(port, timeout=2)
            # A server without the option cannot take the port meanwhile.
            other = subprocess.run([sys.executable, SERVER, "--port", str(port)],
                                   capture_output=True, timeout=10)
            self.assertEqual(other.returncode, 1)
            # One started again with it listens beside the placeholder.
            process, _ = start_server("--reuse-port", port=port)
            self.assertEqual(fetch(port)[0], 200)
        finally:
            placeholder.close()
            stop_server(process)


if __name__ == "__main__":
    unittest.main()
