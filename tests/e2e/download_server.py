#!/usr/bin/env python3
"""The download cases' web server: 127.0.0.1 only, on a free port, serving a folder and a few
scripted answers. It writes its port to --port-file (and prints it), logs every request as
one line of JSON to --log (its time, path, Range, Referer, User-Agent, Accept-Encoding, every
Cookie header), and stops by itself: after --timeout seconds, when --stop-file
appears, or when the process that started it is gone.

Paths (NAME: a file of the folder; any other path is 404):
  /files/NAME            the file; a Range request ("bytes=N-" or "bytes=N-M") gets 206 with
                         Content-Range
  /flaky/NAME            500 on the first request for NAME, then the file
  /busy/NAME             429 with "Retry-After: 2" on the first request, then the file
  /cut/NAME              the first answer ends halfway through its Content-Length
  /norange/NAME          always 200 with the whole file, Range or not
  /slow/NAME             a file of more than 100 KB: the first answer sends 16 KB of it, then
                         nothing until the server stops; a smaller file at once
  /pages/NAME            the file; a missing NAME gets 200 with an HTML page (text/html)
  /deny/NAME             the file; a missing NAME gets 403
  /stall/NAME            no answer at all until the server stops
  /redirect/N/NAME       N redirects in a row, then the file
  /page/NAME             200, text/html: a "not found" page, whatever NAME is
  /topage/NAME           a redirect to /page/NAME
  /ashtml/NAME           the file, sent as text/html
  /tofile/NAME, /toftp/NAME
                         a redirect to file:///etc/passwd, or to ftp://127.0.0.1/NAME
  /openended/NAME        as /files/, but a 206 says "bytes N-M/*"; a Range at the end: 416
  /drops/NAME            as /files/, but each answer ends after 1 MB (its Content-Length
                         says more) and closes the connection
  /pageonrange/NAME      the file; a request with a Range gets 200 with an HTML page (text/html),
                         as a server under maintenance answers
  /reset/NAME            the first answer sends 10 KB of the file (its Content-Length says
                         more), then resets the connection; then the file
  /late/NAME             as /files/, answered a second after the request
  /echo/...              200, the body is the request's path as sent
  /placeholder/NAME      the file; a missing NAME gets 200 with the same small PNG (as a static
                         file: a Range past its end gets 416)
  /removed/NAME          the file; a missing NAME gets a redirect to /files/removed.png
  /guard/NAME            403 unless one Cookie header carries "pass=open"; then the file (with
                         "Set-Cookie: seen=1; Path=/guard") or 404
  /hotlink/NAME          403 unless the Referer is this server's /gallery/page.html; then as
                         /files/
"""
import argparse
import json
import os
import socket
import struct
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote

PAGE = b"<html>not found</html>"
PLACEHOLDER = b"\x89PNG\r\n\x1a\n" + bytes(range(256)) * 12  # "no image", 3080 bytes
seen = {}  # (kind, name) -> how many requests so far
seen_lock = threading.Lock()
answering = 0  # requests being answered now


def first_time(kind, name):
    with seen_lock:
        count = seen.get((kind, name), 0)
        seen[(kind, name)] = count + 1
    return count == 0


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def log_request_line(self):
        global answering
        entry = {"time": round(time.monotonic(), 3), "path": self.path, "range": self.headers.get("Range"),
                 "referer": self.headers.get("Referer"), "agent": self.headers.get("User-Agent"),
                 "encoding": self.headers.get("Accept-Encoding"), "cookie": self.headers.get_all("Cookie")}
        with seen_lock, open(self.server.log, "a", encoding="utf-8") as log:
            answering += 1
            entry["answering"] = answering  # this one included
            log.write(json.dumps(entry) + "\n")

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def file_bytes(self, name):
        path = os.path.realpath(os.path.join(self.server.root, unquote(name)))
        if not path.startswith(os.path.realpath(self.server.root) + os.sep) or not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def send_file(self, data, honour_range=True):
        wanted = self.headers.get("Range", "")
        if honour_range and wanted.startswith("bytes=") and "-" in wanted:
            first, _, last = wanted[6:].partition("-")
            start = int(first)
            end = min(int(last), len(data) - 1) if last else len(data) - 1
            if start < len(data):
                self.answer(206, data[start:end + 1], [("Content-Range", f"bytes {start}-{end}/{len(data)}")])
                return
        self.answer(200, data)

    def do_GET(self):
        global answering
        self.log_request_line()
        try:
            self.answer_request()
        finally:
            with seen_lock:
                answering -= 1

    def answer_request(self):
        parts = self.path.split("/", 2)
        kind = parts[1] if len(parts) > 1 else ""
        rest = parts[2] if len(parts) > 2 else ""
        if kind == "echo":
            self.answer(200, self.path.encode("utf-8"))
            return
        if kind == "page":
            self.answer(200, PAGE, [("Content-Type", "text/html; charset=utf-8")])
            return
        if kind in ("topage", "tofile", "toftp"):
            target = {"topage": f"/page/{rest}", "tofile": "file:///etc/passwd", "toftp": f"ftp://127.0.0.1/{rest}"}
            self.answer(302, b"", [("Location", target[kind])])
            return
        if kind == "redirect":
            hops, _, name = rest.partition("/")
            hops = int(hops)
            target = f"/redirect/{hops - 1}/{name}" if hops > 1 else f"/files/{name}"
            self.answer(302, b"", [("Location", target)])
            return
        if kind == "stall":
            self.server.stopping.wait(self.server.timeout_left())
            self.close_connection = True
            return
        if kind == "guard" and [c for c in self.headers.get_all("Cookie") or [] if "pass=open" in c.split("; ")] == []:
            self.answer(403, b"<html>log in first</html>")
            return
        page = f"http://127.0.0.1:{self.server.server_address[1]}/gallery/page.html"
        if kind == "hotlink" and self.headers.get("Referer") != page:
            self.answer(403, b"<html>no hotlinking</html>")
            return
        served = ("files", "flaky", "busy", "cut", "norange", "slow", "ashtml", "openended", "drops", "pages", "deny",
                  "pageonrange", "reset", "late", "placeholder", "removed", "guard", "hotlink")
        data = self.file_bytes(rest) if kind in served else None
        if data is None and kind == "placeholder":
            start = self.range_start()
            if start is not None and start >= len(PLACEHOLDER):
                self.answer(416, b"", [("Content-Range", f"bytes */{len(PLACEHOLDER)}")])
            else:
                self.send_file(PLACEHOLDER)
        elif data is None and kind == "removed":
            self.answer(302, b"", [("Location", "/files/removed.png")])
        elif data is None and kind == "pages":
            self.answer(200, b"<!DOCTYPE html><html><body>not here</body></html>", [("Content-Type", "text/html")])
        elif data is None and kind == "deny":
            self.answer(403, b"<html>forbidden</html>")
        elif data is None:
            self.answer(404, b"<html>not found</html>")
        elif kind == "flaky" and first_time(kind, rest):
            self.answer(500, b"<html>server error</html>")
        elif kind == "busy" and first_time(kind, rest):
            self.answer(429, b"<html>slow down</html>", [("Retry-After", "2")])
        elif kind == "cut" and first_time(kind, rest):
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.close_connection = True
        elif kind == "slow" and len(data) > 100000 and first_time(kind, rest):
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[:16384])
            self.wfile.flush()
            # Then silence, until the server stops: only a cancel ends this answer.
            self.server.stopping.wait(self.server.timeout_left())
            self.close_connection = True
        elif kind == "pageonrange" and "Range" in self.headers:
            self.answer(200, b"<!DOCTYPE html><html><body>maintenance</body></html>", [("Content-Type", "text/html")])
        elif kind == "reset" and first_time(kind, rest):
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[:10240])
            self.wfile.flush()
            time.sleep(0.5)  # read by the client, then an error rather than the body's end
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()  # at once, no FIN first: the client reads a reset
            self.close_connection = True
        elif kind == "late":
            time.sleep(1)
            self.send_file(data)
        elif kind == "guard":
            self.answer(200, data, [("Set-Cookie", "seen=1; Path=/guard")])
        elif kind == "ashtml":
            self.answer(200, data, [("Content-Type", "text/html")])
        elif kind == "openended":
            start = self.range_start()
            if start is None:
                self.answer(200, data)
            elif start >= len(data):
                self.answer(416, b"", [("Content-Range", f"bytes */{len(data)}")])
            else:
                self.answer(206, data[start:], [("Content-Range", f"bytes {start}-{len(data) - 1}/*")])
        elif kind == "drops":
            start = self.range_start() or 0
            self.send_response(206 if start else 200)
            if start:
                self.send_header("Content-Range", f"bytes {start}-{len(data) - 1}/{len(data)}")
            self.send_header("Content-Length", str(len(data) - start))
            self.end_headers()
            self.wfile.write(data[start:start + 1048576])
            self.wfile.flush()
            self.close_connection = True
        else:
            self.send_file(data, honour_range=kind != "norange")

    def range_start(self):
        wanted = self.headers.get("Range", "")
        return int(wanted[6:-1]) if wanted.startswith("bytes=") and wanted.endswith("-") else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--stop-file", required=True)
    parser.add_argument("--timeout", type=float, default=120)
    args = parser.parse_args()

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root, server.log = args.root, args.log
    server.stopping = threading.Event()
    port = server.server_address[1]
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(port))
    os.replace(args.port_file + ".tmp", args.port_file)
    print(port, flush=True)

    parent = os.getppid()
    deadline = time.monotonic() + args.timeout
    server.timeout_left = lambda: max(0.0, deadline - time.monotonic())

    def watch():
        while time.monotonic() < deadline and not os.path.exists(args.stop_file) and os.getppid() == parent:
            time.sleep(0.2)
        server.stopping.set()
        server.shutdown()

    threading.Thread(target=watch, daemon=True).start()
    server.serve_forever(poll_interval=0.2)
    server.server_close()


if __name__ == "__main__":
    main()
