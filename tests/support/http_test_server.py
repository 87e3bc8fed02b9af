"""A file server for download tests on loopback.

Serves the files of a folder over HTTP/1.0 and appends every request line and
its headers to a log, so a test can check what a client sent. The first
folder of the path can ask for a faulty answer instead:
  /status500/...   answers 500
  /nolength/NAME   NAME without a Content-Length (the body ends with the connection)
  /cut/NAME        NAME with its full Content-Length but only half of its body
A missing file gets the server's own 404 page.

    python3 http_test_server.py PORT FOLDER LOG
"""

import functools
import http.server
import os
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    log_path = None

    def do_GET(self):
        with open(self.log_path, "a", encoding="latin-1") as log:
            log.write(self.requestline + "\n" + str(self.headers))
        mode, _, rest = self.path.lstrip("/").partition("/")
        if mode == "status500":
            self.send_error(500)
        elif mode in ("nolength", "cut"):
            self.send_part(self.translate_path("/" + rest), mode == "cut")
        else:
            super().do_GET()

    def send_part(self, path, cut):
        try:
            with open(path, "rb") as source:
                body = source.read()
        except OSError:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if cut:
            self.send_header("Content-Length", str(len(body)))
            body = body[: len(body) // 2]
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def log_message(self, format, *args):
        pass


def main():
    port, folder, log = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    Handler.log_path = log
    handler = functools.partial(Handler, directory=os.path.abspath(folder))
    with http.server.HTTPServer(("127.0.0.1", port), handler) as server:
        server.serve_forever()


if __name__ == "__main__":
    main()
