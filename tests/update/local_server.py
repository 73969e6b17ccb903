#!/usr/bin/env python3
"""A loopback HTTP server for the updater's and the banner's tests.

    local_server.py FOLDER

Listens on 127.0.0.1 on a free port and prints the port on the first line of standard output.
GET /NAME?QUERY answers the file FOLDER/NAME (the query is ignored) or 404. Every request line
is appended to FOLDER/requests.log. A file NAME.status holding a number answers that status
with an empty body instead; beside a file NAME.trickle the file is answered one byte a second.
/stall accepts the request and never answers. Ends when its standard input closes (the test
that started it ended) or on SIGTERM.
"""
import http.server
import os
import sys
import threading
import time

FOLDER = sys.argv[1]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        with open(os.path.join(FOLDER, "requests.log"), "a", encoding="utf-8") as log:
            log.write(self.path + "\n")
        name = self.path.split("?", 1)[0].lstrip("/")
        if name == "stall":
            time.sleep(3600)
            return
        path = os.path.join(FOLDER, name)
        status_file = path + ".status"
        if os.path.isfile(status_file):
            with open(status_file, encoding="ascii") as f:
                self.send_response(int(f.read().strip()))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if not name or not os.path.isfile(path):
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with open(path, "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            if not os.path.isfile(path + ".trickle"):
                self.wfile.write(body)
                return
            for i in range(len(body)):
                if i:
                    time.sleep(1)
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client stopped reading: a limit or a deadline, as the test meant


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()  # the parent's end of the pipe closes when it exits
    os._exit(0)


if __name__ == "__main__":
    main()
