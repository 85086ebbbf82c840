"""Serves a folder on 127.0.0.1 as a host that compresses would: every file gzipped (level 6, as
hosts commonly do) for a client that accepts it, with its type; scripts/lighthouse audits it.
Usage: serve-gzipped.py PORT FOLDER"""
import gzip
import io
import http.server
import mimetypes
import sys
from functools import partial

mimetypes.add_type("application/manifest+json", ".webmanifest")


class GzippingHandler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        path = self.translate_path(self.path)
        if path.endswith("/"):
            path += "index.html"
        try:
            with open(path, "rb") as file:
                body = file.read()
        except OSError:
            self.send_error(404)
            return None
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Cache-Control", "no-cache")
        if "gzip" in self.headers.get("Accept-Encoding", ""):
            body = gzip.compress(body, 6)
            self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

    def log_message(self, format, *args):
        pass


port, folder = int(sys.argv[1]), sys.argv[2]
http.server.ThreadingHTTPServer(("127.0.0.1", port), partial(GzippingHandler, directory=folder)).serve_forever()
