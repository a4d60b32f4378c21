"""A threaded TCP listener on the loopback address that hands each connection to a function."""

import socketserver
import sys
import threading


class _Handler(socketserver.BaseRequestHandler):
    def handle(self):
        self.server.serve_connection(self.request)


class TcpServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    block_on_close = False

    def __init__(self, port, serve_connection, name):
        self.serve_connection = serve_connection
        self.name = name
        super().__init__(("127.0.0.1", port), _Handler)
        self.port = self.server_address[1]
        self._thread = threading.Thread(target=self.serve_forever, kwargs={"poll_interval": 0.2},
                                        name=name, daemon=True)

    def start(self):
        self._thread.start()

    def stop(self):
        self.shutdown()
        self.server_close()
        self._thread.join(5)

    def handle_error(self, request, client_address):
        kind, value = sys.exc_info()[:2]
        print("standin: %s connection from port %d failed: %s: %s" %
              (self.name, client_address[1], kind.__name__, value), file=sys.stderr, flush=True)
