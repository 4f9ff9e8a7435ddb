#!/usr/bin/env python3
"""HTTPS server on the loopback address for download tests.

usage: https_server.py FOLDER STATE [--port N] [--redirect PATH=LOCATION]...
                       [--rate BYTES] [--stall PATH=BYTES]...
                       [--ranges honour|ignore|refuse] [--drop-first-halfway]

Serves the files below FOLDER at https://127.0.0.1:PORT/ (PORT 0, the default,
picks a free port). A request for a PATH given with --redirect is answered with
302 Found and the LOCATION instead. With --rate every body is sent at about
BYTES per second, in small steps. A request for a PATH given with --stall gets
its full headers and the first BYTES of its body, and then nothing more, while
the connection stays open.

A request with a range "bytes=N-" gets 206 Partial Content from byte N on, or
416 when N lies at or past the end; with --ranges ignore it gets the whole file
with 200, and with --ranges refuse always 416. With --drop-first-halfway the
first request for each file gets half of the body it asked for, and then the
connection is cut. Before each body it logs "served PATH BYTES", the bytes it
is about to send. Before it listens it makes, in STATE:

  ca.pem       a certificate authority made for this run: the bundle to trust
  server.pem   the server's certificate for 127.0.0.1, signed by that authority
  server.key   its private key

and once it listens it writes the port number to STATE/port. Requests are logged
on standard error. It runs until it is terminated.
"""
import argparse
import functools
import http.server
import os
import re
import socket
import ssl
import subprocess
import sys
import threading
import time


def openssl(*arguments):
    subprocess.run(["openssl", *arguments], check=True, stdout=subprocess.DEVNULL)


def make_certificates(state):
    ca_key = os.path.join(state, "ca.key")
    ca = os.path.join(state, "ca.pem")
    key = os.path.join(state, "server.key")
    request = os.path.join(state, "server.csr")
    certificate = os.path.join(state, "server.pem")
    extensions = os.path.join(state, "server.ext")
    curve = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    openssl("req", "-x509", *curve, "-keyout", ca_key, "-out", ca, "-days", "2",
            "-subj", "/CN=Download test authority",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("req", "-new", *curve, "-keyout", key, "-out", request, "-subj", "/CN=127.0.0.1")
    with open(extensions, "w", encoding="ascii") as out:
        out.write("basicConstraints=CA:FALSE\n"
                  "keyUsage=critical,digitalSignature\n"
                  "extendedKeyUsage=serverAuth\n"
                  "subjectAltName=IP:127.0.0.1\n")
    openssl("x509", "-req", "-in", request, "-CA", ca, "-CAkey", ca_key, "-CAcreateserial",
            "-days", "2", "-extfile", extensions, "-out", certificate)
    return certificate, key


class Handler(http.server.SimpleHTTPRequestHandler):
    redirects = {}
    rate = None
    stalls = {}
    ranges = "honour"
    drop_first_halfway = False
    # The files whose first request was cut already, shared by the request threads.
    dropped = set()
    dropped_lock = threading.Lock()
    # Steps per second of a body sent at a rate.
    steps = 20

    def copyfile(self, source, outputfile):
        stall = self.stalls.get(self.path)
        if stall is not None:
            outputfile.write(source.read(stall))
            outputfile.flush()
            while True:
                time.sleep(1)
        chunk = max(1, self.rate // self.steps) if self.rate else 1 << 16
        left = self.cut
        while left is None or left > 0:
            data = source.read(chunk if left is None else min(chunk, left))
            if not data:
                return
            outputfile.write(data)
            if left is not None:
                left -= len(data)
            if self.rate:
                outputfile.flush()
                time.sleep(1 / self.steps)
        outputfile.flush()
        self.close_connection = True
        self.connection.shutdown(socket.SHUT_RDWR)

    def finish(self):
        try:
            super().finish()
        except OSError:
            pass  # a connection cut on purpose

    def send_head(self):
        self.cut = None
        location = self.redirects.get(self.path)
        if location is not None:
            self.send_response(302)
            self.send_header("Location", location)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return None
        path = self.translate_path(self.path)
        if not os.path.isfile(path):
            return super().send_head()
        size = os.path.getsize(path)
        asked = re.fullmatch(r"bytes=(\d+)-", self.headers.get("Range", "").strip())
        if self.ranges == "ignore":
            asked = None
        start = int(asked.group(1)) if asked else 0
        if asked and (self.ranges == "refuse" or start >= size):
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return None
        body = open(path, "rb")
        body.seek(start)
        length = size - start
        self.send_response(206 if asked else 200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        if asked:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, size - 1, size))
        self.end_headers()
        if self.drop_first_halfway and self.command == "GET":
            with self.dropped_lock:
                if self.path not in self.dropped:
                    self.dropped.add(self.path)
                    self.cut = length // 2
        if self.command == "GET":
            sys.stderr.write("served %s %d\n" % (self.path, length if self.cut is None else self.cut))
            sys.stderr.flush()
        return body


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("state")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--redirect", action="append", default=[])
    parser.add_argument("--rate", type=int)
    parser.add_argument("--stall", action="append", default=[])
    parser.add_argument("--ranges", choices=["honour", "ignore", "refuse"], default="honour")
    parser.add_argument("--drop-first-halfway", action="store_true")
    options = parser.parse_args()

    Handler.redirects = dict(route.split("=", 1) for route in options.redirect)
    Handler.rate = options.rate
    Handler.ranges = options.ranges
    Handler.drop_first_halfway = options.drop_first_halfway
    Handler.stalls = {path: int(size) for path, size in (route.split("=", 1) for route in options.stall)}
    certificate, key = make_certificates(options.state)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)

    handler = functools.partial(Handler, directory=options.folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", options.port), handler)
    server.socket = context.wrap_socket(server.socket, server_side=True)

    ready = os.path.join(options.state, "port.tmp")
    with open(ready, "w", encoding="ascii") as out:
        out.write(str(server.server_address[1]))
    os.replace(ready, os.path.join(options.state, "port"))
    sys.stderr.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
