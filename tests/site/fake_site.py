#!/usr/bin/env python3
"""A stand-in for the banner and statistics site, on 127.0.0.1 only, for the Windows and end-to-end tests.

Serves ROOT/files/banner.txt and ROOT/files/banner/* as they are on disk, answers adm/sendstat.php with an
empty page, and logs every request as one line: METHOD <TAB> path-and-query as sent <TAB> user agent.
--silent accepts connections and never answers (time-out tests); --cut PATH sends that file's headers with
its full length but closes after half the body (a download that breaks off); --slow PATH sends that file in
256-byte pieces a fifth of a second apart (a fetch that takes a while); --delay S answers every request S
seconds late and logs "ANSWER <TAB> path <TAB> epoch seconds" as it answers; --trickle sends every answer's
headers at once and then its body one byte a second (a statistic's body is 60 blanks). A server started from inside
Wine cannot be killed from there: it ends when --stop-file appears or after --max-seconds.
"""
import argparse
import os
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=0, help="0 picks a free port")
    ap.add_argument("--port-file", help="written with the port once the server listens")
    ap.add_argument("--root", default=".")
    ap.add_argument("--log", required=True)
    ap.add_argument("--silent", action="store_true")
    ap.add_argument("--cut", action="append", default=[], help="path (e.g. /files/banner/a.gif) to break off")
    ap.add_argument("--slow", action="append", default=[], help="path sent slowly, piece by piece")
    ap.add_argument("--delay", type=float, default=0, help="seconds before every answer")
    ap.add_argument("--trickle", action="store_true", help="every body one byte a second")
    ap.add_argument("--stop-file", help="the server ends as soon as this file exists")
    ap.add_argument("--max-seconds", type=float, default=0, help="the server ends after this long (0: never)")
    args = ap.parse_args()
    threading.Thread(target=watchdog, args=(args,), daemon=True).start()
    log_lock = threading.Lock()

    def record(line):
        with log_lock, open(args.log, "a", encoding="utf-8", newline="\n") as f:
            f.write(line + "\n")

    if args.silent:
        serve_silently(args, record)
        return

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *_):
            pass

        def do_GET(self):
            record("GET\t%s\t%s" % (self.path, self.headers.get("User-Agent", "")))
            if args.delay:
                time.sleep(args.delay)
                record("ANSWER\t%s\t%.3f" % (self.path, time.time()))
            path = self.path.split("?", 1)[0]
            if args.trickle and path == "/adm/sendstat.php":
                return self.reply(200, b" " * 60)
            if path == "/adm/sendstat.php" or path == "/banner.php":
                return self.reply(200, b"")
            local = os.path.normpath(os.path.join(args.root, path.lstrip("/")))
            if not local.startswith(args.root + os.sep) or not os.path.isfile(local):
                return self.reply(404, b"<html><body>Not Found</body></html>")
            with open(local, "rb") as f:
                body = f.read()
            if path in args.cut:
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body[: len(body) // 2])
                self.wfile.flush()
                self.close_connection = True
                self.connection.shutdown(socket.SHUT_RDWR)
                return
            if path in args.slow:
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                for at in range(0, len(body), 256):
                    self.wfile.write(body[at : at + 256])
                    self.wfile.flush()
                    time.sleep(0.2)
                return
            self.reply(200, body)

        def reply(self, status, body):
            self.send_response(status)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Content-Type", "text/plain" if status == 200 else "text/html")
            self.end_headers()
            if not args.trickle:
                self.wfile.write(body)
                return
            self.wfile.flush()
            for at in range(len(body)):
                self.wfile.write(body[at : at + 1])
                self.wfile.flush()
                time.sleep(1)

    args.root = os.path.abspath(args.root)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    announce(args, server.server_address[1])
    server.serve_forever()


def serve_silently(args, record):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", args.port))
    listener.listen(16)
    announce(args, listener.getsockname()[1])
    held = []
    while True:
        conn, _ = listener.accept()
        held.append(conn)  # kept open and never answered
        conn.settimeout(2)
        try:
            first = conn.recv(4096).split(b"\r\n", 1)[0].decode("latin-1")
        except OSError:
            first = ""
        record("SILENT\t%s" % first)


def watchdog(args):
    start = time.monotonic()
    while True:
        if args.stop_file and os.path.exists(args.stop_file):
            os._exit(0)
        if args.max_seconds and time.monotonic() - start > args.max_seconds:
            os._exit(0)
        time.sleep(0.1)


def announce(args, port):
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d\n" % port)
        os.replace(tmp, args.port_file)
    print(port, flush=True)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit(0)
