#!/usr/bin/env python3
"""A local archive server for the installer: serves the three archive paths
from a folder over HTTP on 127.0.0.1, so the program works without internet.

    archive_server.py --root DIR [--port 18080] [--rate BYTES_PER_S]
                      [--make-samples MB] [--mode MODE]

Paths served: /zr_11.17.zip, /up/dll/qelmo_app.zip and /up/all/qelmo.rar,
each from the file of the same base name in DIR.

Modes (also switchable while running with GET /__mode?set=MODE, which the
end-to-end tests use, as is GET /__rate?set=BYTES_PER_S; GET /__log lists
the requests served, /__log?clear=1 also forgets them):
  normal      the file with Content-Length
  no-length   the file without Content-Length (the body ends when the
              connection closes)
  empty       a zero-length body
  404         "404 Not Found" with an HTML body
  500         "500 Internal Server Error" with an HTML body
  drop        sends the headers and half of the body, then drops the
              connection
  gzip        the body gzip-compressed, with Content-Encoding: gzip
  trickle     the body in 1 KB pieces with a pause after each
  huge        announces 5 GiB, sends 4 MB of the file and drops the
              connection (a cut-off transfer past 4 GiB, without the disk)
  stall-body  sends the headers and 1 MB of the body, then nothing more
              (for two minutes, or until the client goes)
  stall-headers  takes the request and answers nothing at all
--rate limits every response to that many bytes per second.
"""
import argparse
import gzip
import http.server
import os
import random
import socketserver
import sys
import threading
import time
import urllib.parse

ARCHIVES = {
    "/zr_11.17.zip": "zr_11.17.zip",
    "/up/dll/qelmo_app.zip": "qelmo_app.zip",
    "/up/all/qelmo.rar": "qelmo.rar",
}
MODES = ("normal", "no-length", "empty", "404", "500", "drop", "gzip", "trickle", "huge", "stall-body",
         "stall-headers")
STALL_SECONDS = 120
HUGE_LENGTH = 5 << 30
HUGE_SENT = 4 << 20
ERROR_PAGE = b"<html><head><title>%d</title></head><body><h1>%s</h1></body></html>\n"


class State:
    def __init__(self, root, mode, rate):
        self.root = root
        self.mode = mode
        self.rate = rate
        self.log = []
        self.lock = threading.Lock()


def make_samples(root, megabytes):
    """Deterministic pseudo-random archives of about `megabytes` MB each."""
    os.makedirs(root, exist_ok=True)
    for index, name in enumerate(sorted(set(ARCHIVES.values()))):
        path = os.path.join(root, name)
        size = megabytes * 1024 * 1024 + 12345 * (index + 1)
        if os.path.exists(path) and os.path.getsize(path) == size:
            continue
        # Incompressible, like real archives, and the same on every machine.
        generator = random.Random(name)
        with open(path + ".part", "wb") as out:
            left = size
            while left:
                piece = min(left, 1 << 20)
                out.write(generator.randbytes(piece))
                left -= piece
        os.replace(path + ".part", path)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "qelmo-archive-server"

    def log_message(self, fmt, *args):  # quiet; /__log tells what was served
        pass

    @property
    def state(self):
        return self.server.state

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/__mode":
            mode = urllib.parse.parse_qs(url.query).get("set", [""])[0]
            if mode not in MODES:
                return self.plain(400, "unknown mode\n")
            self.state.mode = mode
            return self.plain(200, mode + "\n")
        if url.path == "/__rate":
            rate = urllib.parse.parse_qs(url.query).get("set", ["0"])[0]
            self.state.rate = int(rate) if rate.isdigit() else 0
            return self.plain(200, "%d\n" % self.state.rate)
        if url.path == "/__log":
            with self.state.lock:
                text = "".join(line + "\n" for line in self.state.log)
                if urllib.parse.parse_qs(url.query).get("clear"):
                    self.state.log.clear()
            return self.plain(200, text)
        with self.state.lock:
            self.state.log.append("%s %s %s" % (self.state.mode, url.path, self.headers.get("Range", "-")))
        name = ARCHIVES.get(url.path)
        mode = self.state.mode
        if name is None or mode in ("404", "500"):
            code = 500 if mode == "500" else 404
            return self.page(code, "Not Found" if code == 404 else "Internal Server Error")
        try:
            with open(os.path.join(self.state.root, name), "rb") as f:
                body = f.read()
        except OSError:
            return self.page(404, "Not Found")
        self.serve_body(body, mode)

    def plain(self, code, text):
        data = text.encode()
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def page(self, code, message):
        data = ERROR_PAGE % (code, message.encode())
        self.send_response(code, message)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def serve_body(self, body, mode):
        if mode == "stall-headers":
            return self.stall()
        start = 0
        status = 200
        requested = self.headers.get("Range", "")
        if requested.startswith("bytes=") and mode == "normal":
            first = requested[6:].split("-")[0]
            if first.isdigit() and int(first) <= len(body):
                start = int(first)
                status = 206
        if mode == "empty":
            body = b""
        if mode == "gzip":
            body = gzip.compress(body, compresslevel=6)
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        if mode == "gzip":
            self.send_header("Content-Encoding", "gzip")
        if status == 206:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, len(body) - 1, len(body)))
        if mode == "no-length":
            self.send_header("Connection", "close")
            self.close_connection = True
        elif mode == "huge":
            self.send_header("Content-Length", str(HUGE_LENGTH))
        else:
            self.send_header("Content-Length", str(len(body) - start))
        self.end_headers()
        payload = memoryview(body)[start:]
        if mode == "drop":
            payload = payload[: len(payload) // 2]
        if mode == "huge":
            payload = (bytes(payload) * (HUGE_SENT // max(len(payload), 1) + 1))[:HUGE_SENT]
        if mode == "stall-body":
            payload = payload[: 1 << 20]
        self.send_paced(payload, mode)
        if mode == "stall-body":
            return self.stall()
        if mode in ("drop", "huge"):
            self.close_connection = True
            self.connection.shutdown(2)

    def stall(self):
        """Holds the connection open and silent until the client closes it."""
        self.close_connection = True
        self.wfile.flush()
        self.connection.settimeout(STALL_SECONDS)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass

    def send_paced(self, payload, mode):
        piece = 1024 if mode == "trickle" else 64 * 1024
        rate = self.state.rate
        started = time.monotonic()
        sent = 0
        try:
            while sent < len(payload):
                chunk = payload[sent : sent + piece]
                self.wfile.write(chunk)
                sent += len(chunk)
                if mode == "trickle":
                    time.sleep(0.05)
                if rate:
                    ahead = sent / rate - (time.monotonic() - started)
                    if ahead > 0:
                        time.sleep(ahead)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=18080)
    parser.add_argument("--rate", type=int, default=0, help="bytes per second, 0 for no limit")
    parser.add_argument("--mode", choices=MODES, default="normal")
    parser.add_argument("--make-samples", type=int, metavar="MB")
    args = parser.parse_args()
    if args.make_samples:
        make_samples(args.root, args.make_samples)
    server = Server(("127.0.0.1", args.port), Handler)
    server.state = State(args.root, args.mode, args.rate)
    print("serving %s on http://127.0.0.1:%d" % (args.root, args.port), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
