#!/usr/bin/env python3
"""A local archive server for the installer: serves the three archive paths
from a folder over HTTP on 127.0.0.1, so the program works without internet.

    archive_server.py --root DIR [--port 18080] [--rate BYTES_PER_S]
                      [--make-samples MB] [--mode MODE] [--sign KEY.pem...]
    archive_server.py --sample-sha256 MB     prints the samples' SHA-256
    archive_server.py --write-sample NAME MB PATH   writes one sample

Paths served: /zr_11.17.zip, /up/dll/qelmo_app.zip and /up/all/qelmo.rar,
each from the file of the same base name in DIR, with an ETag and a
Last-Modified date, and from an offset on for "Range: bytes=N-" (206, or
416 with "bytes */LENGTH" past the end) unless an If-Range names another
version. Each path plus ".sig" serves the file of that name plus ".sig" in
DIR: its publisher's signature (tools/publisher_sign.py). With --sign, the
samples are signed with the first key as the server starts, and with the
others too for the signature modes below.

Modes (also switchable while running with GET /__mode?set=MODE, which the
end-to-end tests use, as is GET /__rate?set=BYTES_PER_S; GET /__log lists
the requests served as "mode path range if-range", /__log?clear=1 also
forgets them; GET /__replace?name=FILE serves another version of a sample,
same size, /__replace?name=FILE&flip=1 the original with one byte
changed, /__replace?name=FILE&restore=1 the original again; GET
/__validators?name=FILE tells its ETag and Last-Modified, a line each):
  normal      the file with Content-Length
  no-length   the file without Content-Length (the body ends when the
              connection closes)
  empty       a zero-length body
  404         "404 Not Found" with an HTML body
  500         "500 Internal Server Error" with an HTML body
  503         "503 Service Unavailable" with an HTML body
  close-headers  takes the request and closes the connection without a word
  ignore-if-range  answers every "Range: bytes=N-" with 206 from N, of the
              version it has now, whatever the If-Range names
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

Signature modes (GET /__signatures?set=MODE) for the .sig paths:
  signed         the file beside the archive
  missing        "404 Not Found"
  other-archive  the signature of another sample
  other-key      the signature by the second key of --sign
  malformed      the signature without its last byte
  too-long       the signature followed by zeros, 513 bytes in all
"""
import argparse
import email.utils
import gzip
import hashlib
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
MODES = ("normal", "no-length", "empty", "404", "500", "503", "close-headers", "ignore-if-range",
         "drop", "gzip", "trickle", "huge", "stall-body", "stall-headers")
SIGNATURE_MODES = ("signed", "missing", "other-archive", "other-key", "malformed", "too-long")
MAX_SIGNATURE_BYTES = 512
ERRORS = {"404": "Not Found", "500": "Internal Server Error", "503": "Service Unavailable"}
STALL_SECONDS = 120
HUGE_LENGTH = 5 << 30
HUGE_SENT = 4 << 20
ERROR_PAGE = b"<html><head><title>%d</title></head><body><h1>%s</h1></body></html>\n"


class State:
    def __init__(self, root, mode, rate, megabytes):
        self.root = root
        self.mode = mode
        self.rate = rate
        self.megabytes = megabytes
        self.signature_mode = "signed"
        self.second_key_signatures = {}
        self.log = []
        self.lock = threading.Lock()


def sample_size(name, megabytes):
    index = sorted(set(ARCHIVES.values())).index(name)
    return megabytes * 1024 * 1024 + 12345 * (index + 1)


def sample_pieces(name, megabytes, version=""):
    """A deterministic pseudo-random archive of about `megabytes` MB, in
    pieces of 1 MB: incompressible, like real archives, and the same on
    every machine."""
    generator = random.Random(name + version)
    left = sample_size(name, megabytes)
    while left:
        piece = min(left, 1 << 20)
        yield generator.randbytes(piece)
        left -= piece


def sample_bytes(name, megabytes, version=""):
    return b"".join(sample_pieces(name, megabytes, version))


def flipped_sample(name, megabytes):
    """The sample with one byte in its middle changed."""
    data = bytearray(sample_bytes(name, megabytes))
    data[len(data) // 2] ^= 1
    return bytes(data)


def sign_samples(root, keys):
    """Each sample's .sig by the first key; the second key's signatures,
    by name, for the mode other-key."""
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import publisher_sign
    second = {}
    for name in sorted(set(ARCHIVES.values())):
        path = os.path.join(root, name)
        publisher_sign.write_signature(keys[0], path)
        if len(keys) > 1:
            second[name] = publisher_sign.sign_digest(keys[1], publisher_sign.file_sha256(path), name)
    return second


def write_file(path, data):
    with open(path + ".new", "wb") as out:
        out.write(data)
    os.replace(path + ".new", path)


def make_samples(root, megabytes):
    """The samples in `root`, written anew where a file differs from them."""
    os.makedirs(root, exist_ok=True)
    for name in sorted(set(ARCHIVES.values())):
        path = os.path.join(root, name)
        data = sample_bytes(name, megabytes)
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        write_file(path, data)


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
        switches = {"/__mode": ("mode", MODES), "/__signatures": ("signature_mode", SIGNATURE_MODES)}
        if url.path in switches:
            field, choices = switches[url.path]
            mode = urllib.parse.parse_qs(url.query).get("set", [""])[0]
            if mode not in choices:
                return self.plain(400, "unknown mode\n")
            setattr(self.state, field, mode)
            return self.plain(200, mode + "\n")
        if url.path == "/__rate":
            rate = urllib.parse.parse_qs(url.query).get("set", ["0"])[0]
            self.state.rate = int(rate) if rate.isdigit() else 0
            return self.plain(200, "%d\n" % self.state.rate)
        if url.path == "/__replace":
            query = urllib.parse.parse_qs(url.query)
            name = query.get("name", [""])[0]
            if name not in ARCHIVES.values() or not self.state.megabytes:
                return self.plain(400, "unknown sample\n")
            path = os.path.join(self.state.root, name)
            if query.get("flip"):
                write_file(path, flipped_sample(name, self.state.megabytes))
            else:
                version = "" if query.get("restore") else "-replaced"
                write_file(path, sample_bytes(name, self.state.megabytes, version))
            return self.plain(200, name + "\n")
        if url.path == "/__validators":
            name = urllib.parse.parse_qs(url.query).get("name", [""])[0]
            path = os.path.join(self.state.root, name)
            if name not in ARCHIVES.values() or not os.path.exists(path):
                return self.plain(404, "unknown sample\n")
            with open(path, "rb") as f:
                version = validators(f.read(), os.path.getmtime(path))
            return self.plain(200, "%s\n%s\n" % (version["ETag"], version["Last-Modified"]))
        if url.path == "/__log":
            with self.state.lock:
                text = "".join(line + "\n" for line in self.state.log)
                if urllib.parse.parse_qs(url.query).get("clear"):
                    self.state.log.clear()
            return self.plain(200, text)
        with self.state.lock:
            self.state.log.append("%s %s %s %s" % (self.state.mode, url.path, self.headers.get("Range", "-"),
                                                  self.headers.get("If-Range", "-")))
        if url.path.endswith(".sig") and url.path[:-4] in ARCHIVES:
            return self.serve_signature(ARCHIVES[url.path[:-4]])
        name = ARCHIVES.get(url.path)
        mode = self.state.mode
        if name is None or mode in ERRORS:
            code = int(mode) if mode in ERRORS else 404
            return self.page(code, ERRORS[str(code)])
        try:
            path = os.path.join(self.state.root, name)
            with open(path, "rb") as f:
                body = f.read()
            modified = os.path.getmtime(path)
        except OSError:
            return self.page(404, "Not Found")
        self.serve_body(body, mode, validators(body, modified))

    def serve_signature(self, name):
        mode = self.state.signature_mode
        if mode == "other-archive":
            names = sorted(set(ARCHIVES.values()))
            name = names[(names.index(name) + 1) % len(names)]
        try:
            with open(os.path.join(self.state.root, name + ".sig"), "rb") as f:
                signature = f.read()
        except OSError:
            signature = None
        if mode == "other-key":
            signature = self.state.second_key_signatures.get(name)
        if signature is None or mode == "missing":
            return self.page(404, "Not Found")
        if mode == "malformed":
            signature = signature[:-1]
        if mode == "too-long":
            signature = signature.ljust(MAX_SIGNATURE_BYTES + 1, b"\0")
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(signature)))
        self.end_headers()
        self.wfile.write(signature)

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

    def serve_body(self, body, mode, version):
        if mode == "stall-headers":
            return self.stall()
        if mode == "close-headers":
            self.close_connection = True
            return self.connection.shutdown(2)
        start = 0
        status = 200
        requested = self.headers.get("Range", "")
        wanted_version = self.headers.get("If-Range")
        if mode == "ignore-if-range":
            wanted_version = None
        if requested.startswith("bytes=") and mode in ("normal", "ignore-if-range") and \
                wanted_version in (None, *version.values()):
            first = requested[6:].split("-")[0]
            if first.isdigit() and int(first) >= len(body):
                return self.unsatisfiable(len(body), version)
            if first.isdigit():
                start = int(first)
                status = 206
        if mode == "empty":
            body = b""
        if mode == "gzip":
            body = gzip.compress(body, compresslevel=6)
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        for header, value in version.items():
            self.send_header(header, value)
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

    def unsatisfiable(self, length, version):
        self.send_response(416, "Range Not Satisfiable")
        self.send_header("Content-Range", "bytes */%d" % length)
        for header, value in version.items():
            self.send_header(header, value)
        self.send_header("Content-Length", "0")
        self.end_headers()

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


def validators(body, modified):
    """The version of a file as HTTP names it: a strong ETag from its bytes
    and its modification date."""
    return {"ETag": '"%s"' % hashlib.sha1(body).hexdigest()[:20],
            "Last-Modified": email.utils.formatdate(modified, usegmt=True)}


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root")
    parser.add_argument("--port", type=int, default=18080)
    parser.add_argument("--rate", type=int, default=0, help="bytes per second, 0 for no limit")
    parser.add_argument("--mode", choices=MODES, default="normal")
    parser.add_argument("--make-samples", type=int, metavar="MB")
    parser.add_argument("--sample-sha256", type=int, metavar="MB",
                        help="print the SHA-256 of each sample of that size and end")
    parser.add_argument("--write-sample", nargs=3, metavar=("NAME", "MB", "PATH"),
                        help="write one sample to PATH and end")
    parser.add_argument("--sign", nargs="+", metavar="KEY.pem",
                        help="sign the samples with the first key (and the second, for the mode other-key)")
    args = parser.parse_args()
    if args.sample_sha256:
        for name in ("zr_11.17.zip", "qelmo_app.zip", "qelmo.rar"):
            digest = hashlib.sha256()
            for piece in sample_pieces(name, args.sample_sha256):
                digest.update(piece)
            print(digest.hexdigest())
        return 0
    if args.write_sample:
        name, megabytes, path = args.write_sample
        with open(path + ".new", "wb") as out:
            for piece in sample_pieces(name, int(megabytes)):
                out.write(piece)
        os.replace(path + ".new", path)
        return 0
    if not args.root:
        parser.error("--root is needed to serve")
    if args.make_samples:
        make_samples(args.root, args.make_samples)
    second_key_signatures = sign_samples(args.root, args.sign) if args.sign else {}
    server = Server(("127.0.0.1", args.port), Handler)
    server.state = State(args.root, args.mode, args.rate, args.make_samples)
    server.state.second_key_signatures = second_key_signatures
    print("serving %s on http://127.0.0.1:%d" % (args.root, args.port), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
