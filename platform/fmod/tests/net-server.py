#!/usr/bin/env python3
"""A loopback HTTP server for the audio library's stream tests.

Serves one MP3 file under several paths: /tone.mp3 whole, /drop.mp3 cut off
halfway (the connection closes before the announced length), /hold.mp3 its
first 20 KB and then nothing while the connection stays open, /silent
nothing at all (the request is taken and never answered), /text a body that
is not MP3, anything else 404. Prints its port, then serves until killed.
"""
import http.server
import socketserver
import sys
import time

data = open(sys.argv[1], "rb").read()


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path in ("/tone.mp3", "/drop.mp3"):
            self.send_response(200)
            self.send_header("Content-Type", "audio/mpeg")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            body = data if self.path == "/tone.mp3" else data[: len(data) // 2]
            self.wfile.write(body)
            self.wfile.flush()
            if self.path == "/drop.mp3":
                self.close_connection = True
        elif self.path == "/hold.mp3":
            self.send_response(200)
            self.send_header("Content-Type", "audio/mpeg")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[:20 * 1024])
            self.wfile.flush()
            time.sleep(600)
        elif self.path == "/silent":
            time.sleep(600)
        elif self.path == "/text":
            body = b"<html>" + b"not a sound " * 4000 + b"</html>"
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        else:
            self.send_error(404)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
