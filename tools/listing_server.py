#!/usr/bin/env python3
"""A stand-in for the lending service's listing page, on 127.0.0.1 only.

It lets a newcomer watch the program work without the internet, and lets the
end-to-end tests choose, request by request, which page the program sees or
how the server misbehaves. Standard library only.

Usage:
  listing_server.py [--port N] [--mode MODE] [--silence SECONDS] [--log PATH]
                    [--reuse-port]

The first line on stdout is "port N" (the port actually bound; --port 0
picks a free one). SIGTERM or SIGINT stops the server with exit status 0.

--reuse-port lets a test play "no server" without giving the port away: it
binds a socket of its own beside the server (SO_REUSEPORT, not listening),
stops the server, and connections are refused while nobody else can take
the port; a server started again with --reuse-port listens beside it.

Paths:
  GET  /yuexitong/        the listing page, in the mode currently in force
  GET  /yuexitong/moved/  the buyable page (where the redirect mode points)
  GET  /control/mode      the mode settings, as JSON
  POST /control/mode      change them; the body is "MODE" or "MODE COUNT",
                          or form fields mode=MODE&count=N&silence=SECONDS
                          (each optional; at least one). With a count the
                          mode serves only the next COUNT listing requests,
                          after which the default mode is back; without one
                          it becomes the default. silence sets how long the
                          silent mode stays silent, from then on.
  GET  /control/log       every request logged so far, one JSON per line

Every request is logged before it is served, to --log PATH when given (one
JSON object per line, flushed at once) and in memory for /control/log:
{"time": float, "client": [host, port], "request_line": str,
 "headers": [[name, value], ...], "mode": str}.
"""

import argparse
import json
import os
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
from dataclasses import dataclass, field
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HOST = "127.0.0.1"
LISTING_PATH = "/yuexitong/"
REDIRECT_TARGET = "/yuexitong/moved/"

HEADING = "其他投资人转让项目"
MARKUP = '<span class="rmb">￥</span>'
MARKUP_UPPER = '<SPAN CLASS="RMB">￥</SPAN>'
BUY = "购买"

HUGE_BODY_SIZE = 64 * 1024 * 1024
HEADER_PADDING_LINES = 60  # of about 100 bytes: a block well over 5000 bytes
DEFAULT_SILENCE = 40.0
RESET_PAUSE = 0.3  # lets the partial body reach the client before the reset

# What the program should make of each mode: True when it must alert.
ALERTS = {
    "buyable": True,
    "no-heading": True,
    "no-buy": False,
    "buy-before-markup": False,
    "heading-no-markup-buy-before": True,
    "upper-markup": True,
    "empty": False,
    "reset-mid-body": False,
    "silent": False,
    "huge": True,
    "big-headers": True,
    "invalid-utf8": True,
    "zero-before-markers": False,
    "redirect": True,
    "chunked": True,
    "error-500": False,
}
MODES = tuple(ALERTS)


# ---------------------------------------------------------------- pages

NAV = ('<div class="nav"><a href="/">首页</a> | <a href="/yuexitong/">债权转让'
       '</a> | <a href="/help/">帮助中心</a></div>\n')
NAV_WITH_BUY = ('<div class="nav"><a href="/">首页</a> | <a href="/yuexitong/'
                'order/">我要购买</a> | <a href="/help/">帮助中心</a></div>\n')
SECTION = "<h2>" + HEADING + "</h2>\n"
TABLE_HEAD = ('<table class="transfer-list">\n<tr><th>项目编号</th><th>年化利率'
              '</th><th>剩余期限</th><th>转让价格</th><th>操作</th></tr>\n')
TABLE_END = "</table>\n"
ROW_BUYABLE = ('<tr><td>ZR-0417</td><td>9.60%</td><td>8 个月</td><td>' + MARKUP
               + '12,480.00</td><td><a class="btn" href="/yuexitong/order?id='
               '417">' + BUY + '</a></td></tr>\n')
ROW_BUYABLE_UPPER = ROW_BUYABLE.replace(MARKUP, MARKUP_UPPER)
ROW_SOLD = ('<tr><td>ZR-0392</td><td>8.80%</td><td>3 个月</td><td>' + MARKUP
            + '5,000.00</td><td><span class="done">已转让</span></td></tr>\n')
ROW_SOLD_PLAIN_PRICE = ('<tr><td>ZR-0392</td><td>8.80%</td><td>3 个月</td>'
                        '<td>5,000.00 元</td><td><span class="done">已转让'
                        '</span></td></tr>\n')
TIP_BUY = '<p class="tip">' + BUY + '前请阅读转让说明。</p>\n'
NOTHING_LISTED = '<p class="empty">暂无可转让的项目。</p>\n'


def page_head():
    """Start of every listing page, up to the navigation."""
    return ('<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n'
            '<meta charset="utf-8">\n<title>债权转让 - 示例理财平台</title>\n'
            '</head>\n<body>\n')


def page_tail():
    """End of every listing page."""
    return ('<p class="note">转让项目由平台其他投资人发布，数据仅供演示。</p>\n'
            '</body>\n</html>\n')


def table(*rows):
    return TABLE_HEAD + "".join(rows) + TABLE_END


# The body of each page variant between head and tail. Each one puts the
# three markers in the order its name says; test_listing_server.py checks
# the order, so a careless edit of the texts above cannot slip through.
VARIANT_BODIES = {
    "buyable": NAV + SECTION + table(ROW_BUYABLE, ROW_SOLD),
    "no-heading": NAV_WITH_BUY + NOTHING_LISTED,
    "no-buy": NAV + SECTION + table(ROW_SOLD, ROW_SOLD),
    "buy-before-markup": NAV + SECTION + TIP_BUY + table(ROW_SOLD),
    "heading-no-markup-buy-before": (NAV_WITH_BUY + SECTION
                                     + table(ROW_SOLD_PLAIN_PRICE)),
    "upper-markup": NAV + SECTION + table(ROW_BUYABLE_UPPER),
}


def variant_page(mode):
    """UTF-8 bytes of a page variant; "empty" is no bytes at all."""
    if mode == "empty":
        return b""
    return (page_head() + VARIANT_BODIES[mode] + page_tail()).encode()


def buyable_page():
    return variant_page("buyable")


def invalid_utf8_page():
    """The buyable page with invalid UTF-8 right beside every marker.

    A lone 0xFF, an overlong pair, a stray continuation byte and sequences
    cut short (one of them by the very lead bytes that start the buy
    marker) sit next to the markers but never inside one, and one cut-off
    sequence ends the page. A decoder that starts afresh at the next lead
    byte, as Windows does (each bad sequence becomes U+FFFD, or is dropped
    on older versions), keeps all three markers whole, so this page alerts.
    A decoder that swallows the bytes after a bad lead byte loses the buy
    marker and misses the alert.
    """
    page = buyable_page()
    heading = HEADING.encode()
    markup = MARKUP.encode()
    buy = BUY.encode()
    page = page.replace(heading, b"\xff" + heading + b"\xe4\xb8", 1)
    page = page.replace(markup, b"\xc0\xaf" + markup + b"\x80", 1)
    page = page.replace(buy, b"\xe8\xb4" + buy + b"\xff\xfe", 1)
    return page + b"\xe5\x85"


def zero_before_markers_page():
    """The buyable page with a zero byte just before the section heading.

    The program judges a page only up to its first zero byte, and nothing
    before this one holds a marker, so this page must not alert.
    """
    heading = HEADING.encode()
    return buyable_page().replace(heading, b"\x00" + heading, 1)


def huge_page_parts():
    """Head, filler size and tail of the 64 MB page; markers in the tail."""
    head = (page_head() + NAV).encode()
    tail = (SECTION + table(ROW_BUYABLE, ROW_SOLD) + page_tail()).encode()
    return head, HUGE_BODY_SIZE - len(head) - len(tail), tail


FILLER_LINE = b"<!-- " + b"-" * 54 + b" -->\n"  # 64 bytes without a marker
FILLER_BLOCK = FILLER_LINE * 1024


def filler_pieces(size):
    """Filler of exactly size bytes in 64 KiB pieces, never all in memory."""
    spaces = size % len(FILLER_LINE)
    if spaces:
        yield b" " * spaces
    left = size - spaces
    while left > 0:
        piece = FILLER_BLOCK[:min(left, len(FILLER_BLOCK))]
        left -= len(piece)
        yield piece


def chunk_split_points(page):
    """Byte positions in the middle of each marker's UTF-8 bytes.

    Cutting chunks inside the multi-byte characters makes sure that a
    client joins chunks before it decodes or searches.
    """
    points = []
    for marker in (HEADING.encode(), MARKUP.encode(), BUY.encode()):
        start = page.find(marker)
        if start >= 0:
            # Inside the marker's last character, so that it is also inside
            # the yuan sign of the price markup.
            points.append(start + len(marker) - 2)
    return sorted(points)


def small_page(title, body):
    """A short page of the same site, without any marker."""
    return ('<!DOCTYPE html>\n<html lang="zh-CN">\n<head>'
            '<meta charset="utf-8"><title>' + title + '</title></head>\n'
            '<body>' + body + '</body>\n</html>\n').encode()


ERROR_PAGE = small_page("服务器错误",
                        "<h1>500 服务器错误</h1><p>请稍后再试。</p>")
NOT_FOUND_PAGE = small_page("页面不存在", "<h1>404 页面不存在</h1>")
MOVED_PAGE = small_page("已移动", "<p>页面已移至新地址。</p>")


# ---------------------------------------------------------------- state

@dataclass
class ServerState:
    """Everything the request threads share, guarded by lock."""
    default_mode: str
    silence: float
    log_file: object = None
    override_mode: str = ""
    override_left: int = 0
    log_lines: list = field(default_factory=list)
    lock: threading.Lock = field(default_factory=threading.Lock)
    stopping: threading.Event = field(default_factory=threading.Event)


def take_listing_mode(state):
    """The mode for one listing request, using up one count of an override."""
    with state.lock:
        if state.override_left > 0:
            state.override_left -= 1
            return state.override_mode
        return state.default_mode


def mode_settings(state):
    with state.lock:
        return {"default": state.default_mode,
                "override": state.override_mode if state.override_left else "",
                "remaining": state.override_left,
                "silence": state.silence,
                "modes": list(MODES)}


def parse_control_body(text):
    """Mode change from a control body, or an error message (a str).

    Returns a dict that may hold "mode", "count" and "silence".
    """
    text = text.strip()
    if not text:
        return "empty body: name a mode"
    if "=" in text:
        fields = urllib.parse.parse_qs(text, keep_blank_values=True)
        unknown = set(fields) - {"mode", "count", "silence"}
        if unknown:
            return "unknown field(s): " + ", ".join(sorted(unknown))
        if any(len(values) > 1 for values in fields.values()):
            return "a field is given twice"
        fields = {name: values[0] for name, values in fields.items()}
    else:
        words = text.split()
        if len(words) > 2:
            return "expected MODE or MODE COUNT"
        fields = {"mode": words[0]}
        if len(words) == 2:
            fields["count"] = words[1]
    change = {}
    if "mode" in fields:
        if fields["mode"] not in MODES:
            return "unknown mode %r; modes: %s" % (fields["mode"],
                                                   " ".join(MODES))
        change["mode"] = fields["mode"]
    if "count" in fields:
        if "mode" not in change:
            return "a count needs a mode"
        if not fields["count"].isdigit() or int(fields["count"]) < 1:
            return "count must be a whole number of at least 1"
        change["count"] = int(fields["count"])
    if "silence" in fields:
        try:
            silence = float(fields["silence"])
        except ValueError:
            silence = -1.0
        if not 0 <= silence <= 3600:
            return "silence must be a number of seconds from 0 to 3600"
        change["silence"] = silence
    return change


def apply_mode_change(state, change):
    with state.lock:
        if "silence" in change:
            state.silence = change["silence"]
        if "count" in change:
            state.override_mode = change["mode"]
            state.override_left = change["count"]
        elif "mode" in change:
            state.default_mode = change["mode"]
            state.override_left = 0


def log_request(state, handler, mode):
    """One JSON line per request, written and flushed before serving it.

    Logging first lets a test see a request the moment it arrives, even
    one that the server then answers slowly or never.
    """
    headers = getattr(handler, "headers", None)
    entry = {
        "time": time.time(),
        "client": list(handler.client_address[:2]),
        "request_line": getattr(handler, "requestline", ""),
        "headers": [[name, value] for name, value in headers.items()]
        if headers is not None else [],
        "mode": mode,
    }
    line = json.dumps(entry, ensure_ascii=True)
    with state.lock:
        state.log_lines.append(line)
        if state.log_file is not None:
            state.log_file.write(line + "\n")
            state.log_file.flush()


# ---------------------------------------------------------------- responses

def send_head(handler, status, headers):
    """Status line and headers; every connection closes after one answer.

    One request per connection keeps what a test sees simple: each pass of
    the program opens its own connection and nothing lingers between them.
    """
    handler.send_response(status)
    for name, value in headers:
        handler.send_header(name, value)
    handler.send_header("Connection", "close")
    handler.end_headers()
    handler.close_connection = True


def send_page(handler, body, status=200, extra_headers=()):
    send_head(handler, status,
              [("Content-Type", "text/html; charset=utf-8"),
               ("Content-Length", str(len(body)))] + list(extra_headers))
    handler.wfile.write(body)


def serve_reset_mid_body(handler, state):
    """Promise the whole buyable page, send it up to the buy marker, reset.

    The part that arrives holds the heading and the price markup but not
    the buy marker, so whatever a client makes of it, it must not alert.
    """
    page = buyable_page()
    cut = page.find(BUY.encode())
    send_head(handler, 200, [("Content-Type", "text/html; charset=utf-8"),
                             ("Content-Length", str(len(page)))])
    handler.wfile.write(page[:cut])
    handler.wfile.flush()
    if state.stopping.wait(RESET_PAUSE):
        return
    reset_connection(handler)


def reset_connection(handler):
    """Close with SO_LINGER 0, which sends a TCP reset instead of a FIN.

    The socket is detached first so that the handler's own clean-up cannot
    send a FIN or close a descriptor number that another thread reuses.
    """
    sock = handler.connection
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                    struct.pack("ii", 1, 0))
    os.close(sock.detach())
    handler.close_connection = True


def serve_silent(handler, state):
    """Say nothing for the silence, then close without any answer.

    Closing without a response afterwards (rather than sending the page
    late) means a client that waits longer than its time-out still sees no
    listing, so the mode can never cause a late alert.
    """
    with state.lock:
        silence = state.silence
    state.stopping.wait(silence)
    handler.close_connection = True


def serve_huge(handler, state):
    """A 64 MB page written piece by piece, the markers in its last bytes."""
    head, filler_size, tail = huge_page_parts()
    send_head(handler, 200, [("Content-Type", "text/html; charset=utf-8"),
                             ("Content-Length", str(HUGE_BODY_SIZE))])
    handler.wfile.write(head)
    for piece in filler_pieces(filler_size):
        if state.stopping.is_set():
            return
        handler.wfile.write(piece)
    handler.wfile.write(tail)


def serve_big_headers(handler, state):
    """The buyable page behind a header block of more than 5000 bytes."""
    page = buyable_page()
    padding = [("X-Padding-%02d" % n, "%02d-" % n + "p" * 84)
               for n in range(1, HEADER_PADDING_LINES + 1)]
    send_page(handler, page, extra_headers=padding)


def serve_redirect(handler, state):
    """302 to the path that serves the buyable page, as an absolute URL."""
    host = handler.headers.get("Host") or "%s:%d" % (
        HOST, handler.server.server_address[1])
    send_page(handler, MOVED_PAGE, status=302,
              extra_headers=[("Location", "http://%s%s"
                              % (host, REDIRECT_TARGET))])


def serve_chunked(handler, state):
    """The buyable page in chunks cut inside each marker's bytes."""
    page = buyable_page()
    send_head(handler, 200, [("Content-Type", "text/html; charset=utf-8"),
                             ("Transfer-Encoding", "chunked")])
    start = 0
    for end in chunk_split_points(page) + [len(page)]:
        piece = page[start:end]
        handler.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
        start = end
    handler.wfile.write(b"0\r\n\r\n")


def serve_variant(mode):
    def serve(handler, state):
        send_page(handler, variant_page(mode))
    return serve


def serve_bytes(body, status=200):
    def serve(handler, state):
        send_page(handler, body, status=status)
    return serve


SERVERS = {mode: serve_variant(mode) for mode in VARIANT_BODIES}
SERVERS.update({
    "empty": serve_bytes(b""),
    "reset-mid-body": serve_reset_mid_body,
    "silent": serve_silent,
    "huge": serve_huge,
    "big-headers": serve_big_headers,
    "invalid-utf8": serve_bytes(invalid_utf8_page()),
    "zero-before-markers": serve_bytes(zero_before_markers_page()),
    "redirect": serve_redirect,
    "chunked": serve_chunked,
    "error-500": serve_bytes(ERROR_PAGE, status=500),
})
assert set(SERVERS) == set(MODES)


def serve_json(handler, value):
    body = (json.dumps(value, ensure_ascii=False, indent=1) + "\n").encode()
    send_head(handler, 200, [("Content-Type",
                              "application/json; charset=utf-8"),
                             ("Content-Length", str(len(body)))])
    handler.wfile.write(body)


def serve_control_log(handler, state):
    with state.lock:
        body = "".join(line + "\n" for line in state.log_lines).encode()
    send_head(handler, 200, [("Content-Type",
                              "application/x-ndjson; charset=utf-8"),
                             ("Content-Length", str(len(body)))])
    handler.wfile.write(body)


def serve_control_mode_post(handler, state):
    length = handler.headers.get("Content-Length", "0")
    if not length.isdigit() or int(length) > 4096:
        send_page(handler, b"bad Content-Length\n", status=400)
        return
    text = handler.rfile.read(int(length)).decode("utf-8", "replace")
    change = parse_control_body(text)
    if isinstance(change, str):
        body = (change + "\n").encode()
        send_head(handler, 400, [("Content-Type", "text/plain; charset=utf-8"),
                                 ("Content-Length", str(len(body)))])
        handler.wfile.write(body)
        return
    apply_mode_change(state, change)
    serve_json(handler, mode_settings(state))


def route(state, method, path):
    """The label logged for a request and the function that answers it.

    Only a GET of the listing path uses up a count of a mode override, so
    control traffic and the redirect's second request never shift the
    sequence a test has set up.
    """
    path = urllib.parse.urlsplit(path).path
    if method == "GET" and path == LISTING_PATH:
        mode = take_listing_mode(state)
        return mode, SERVERS[mode]
    if method == "GET" and path == REDIRECT_TARGET:
        return "buyable", SERVERS["buyable"]
    if path == "/control/mode" and method == "GET":
        return "control", lambda h, s: serve_json(h, mode_settings(s))
    if path == "/control/mode" and method == "POST":
        return "control", serve_control_mode_post
    if path == "/control/log" and method == "GET":
        return "control", serve_control_log
    if method not in ("GET", "POST"):
        return "not-allowed", lambda h, s: send_page(
            h, b"", status=405, extra_headers=[("Allow", "GET, POST")])
    return "not-found", serve_bytes(NOT_FOUND_PAGE, status=404)


class ListingHandler(BaseHTTPRequestHandler):
    """Glue to http.server: logs, routes, and survives vanishing clients."""

    protocol_version = "HTTP/1.1"
    server_version = "ListingServer/1.0"
    timeout = 120  # a client that sends nothing does not hold a thread forever

    def parse_request(self):
        state = self.server.state
        if not super().parse_request():
            log_request(state, self, "bad-request")
            return False
        mode, self.answer = route(state, self.command, self.path)
        log_request(state, self, mode)
        if self.command not in ("GET", "POST"):
            self.answer(self, state)
            return False
        return True

    def do_GET(self):
        self.answer(self, self.server.state)

    do_POST = do_GET

    def handle(self):
        try:
            super().handle()
        except OSError:
            pass  # the client went away; nothing left to answer

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):
        pass  # the JSON log replaces http.server's stderr lines


def make_server(port, state, reuse_port=False):
    server = ThreadingHTTPServer((HOST, port), ListingHandler,
                                 bind_and_activate=False)
    try:
        if reuse_port:
            server.socket.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
        server.server_bind()
        server.server_activate()
    except OSError:
        server.server_close()
        raise
    server.request_queue_size = 64
    server.daemon_threads = True
    # Stopping must not wait for a client that stalls in the middle of the
    # 64 MB page; the answering threads die with the process.
    server.block_on_close = False
    server.state = state
    return server


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Serve a listing page and its fault modes on "
                    "127.0.0.1 only.")
    parser.add_argument("--port", type=int, default=8765,
                        help="port to listen on; 0 picks a free one")
    parser.add_argument("--mode", default="buyable", choices=MODES,
                        help="default mode of the listing page")
    parser.add_argument("--silence", type=float, default=DEFAULT_SILENCE,
                        help="seconds the silent mode stays silent")
    parser.add_argument("--log", metavar="PATH",
                        help="append one JSON line per request here")
    parser.add_argument("--reuse-port", action="store_true",
                        help="listen with SO_REUSEPORT (see above)")
    args = parser.parse_args(argv)
    if not 0 <= args.port <= 65535:
        parser.error("--port must be from 0 to 65535")

    log_file = open(args.log, "a", encoding="utf-8") if args.log else None
    state = ServerState(default_mode=args.mode, silence=args.silence,
                        log_file=log_file)
    try:
        server = make_server(args.port, state, args.reuse_port)
    except OSError as error:
        print("listing_server: cannot listen on %s:%d: %s"
              % (HOST, args.port, error), file=sys.stderr)
        return 1

    def stop(signum, frame):
        # shutdown() waits for serve_forever, so it must not run on this
        # (the serving) thread.
        state.stopping.set()
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    print("port %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever(poll_interval=0.1)
    finally:
        server.server_close()
        with state.lock:
            state.log_file = None
        if log_file is not None:
            log_file.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
