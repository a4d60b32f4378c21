#!/usr/bin/env python3
"""The stand-in site: web service, web API, files and login server on 127.0.0.1, for the tests
and the demo.

    python3 standin/standin.py [--http-port N] [--login-port M] [--data DIR] [--catalogue FILE]

Port 0 picks a free port. Once both ports accept connections it prints one line
"ready http=N login=M pid=P" and runs until SIGTERM or SIGINT.
"""

import argparse
import os
import shutil
import signal
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import media  # noqa: E402
from catalogue import DEFAULT_FILE, Catalogue, CatalogueError  # noqa: E402
from httpsite import HttpSite  # noqa: E402
from loginserver import LoginServer  # noqa: E402
from lyrics import LyricStore  # noqa: E402
from records import Records  # noqa: E402
from requestlog import RequestLog  # noqa: E402
from scenarios import Scenarios  # noqa: E402
from sitepages import Site  # noqa: E402
from tcpserver import TcpServer  # noqa: E402
from webapi import WebApi  # noqa: E402
from webservice import WebService  # noqa: E402

DEFAULT_HTTP_PORT = 18081
DEFAULT_LOGIN_PORT = 8080  # the program's fixed login port


def default_data_dir():
    cache = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(cache, "reviverod", "standin")


def remove_stale_uploads(data_dir):
    """Upload folders ("uploads-PID-...") of stand-ins that were killed instead of stopped."""
    for name in os.listdir(data_dir):
        parts = name.split("-")
        if parts[0] != "uploads" or len(parts) < 2 or not parts[1].isdigit():
            continue
        try:
            os.kill(int(parts[1]), 0)
        except ProcessLookupError:
            shutil.rmtree(os.path.join(data_dir, name), ignore_errors=True)
        except PermissionError:
            pass  # alive, someone else's


class StandIn:
    """Everything the stand-in runs, started and stopped together."""

    def __init__(self, http_port=0, login_port=0, data_dir=None, catalogue_file=DEFAULT_FILE):
        self.data_dir = data_dir or default_data_dir()
        os.makedirs(self.data_dir, exist_ok=True)
        remove_stale_uploads(self.data_dir)
        self.stop_event = threading.Event()
        self.catalogue = Catalogue(catalogue_file)
        self.media = media.prepare(self.catalogue, self.data_dir)
        self.scenarios = Scenarios()
        self.log = RequestLog()
        self.lyrics = LyricStore(self.catalogue, tempfile.mkdtemp(
            prefix="uploads-%d-" % os.getpid(), dir=self.data_dir))
        self.login = LoginServer(self.catalogue, self.scenarios, self.log, self.stop_event)
        self.login_server = TcpServer(login_port, self.login.serve_connection, "login")
        self.http_server = None
        try:
            self.http_server = TcpServer(http_port, self._serve_http, "http")
        except OSError:
            self.login_server.server_close()
            raise
        self.ports = {"http": self.http_server.port, "login": self.login_server.port}
        self.base_url = "http://127.0.0.1:%d" % self.ports["http"]
        records = Records(self.catalogue, self.media, self.lyrics, self.base_url)
        self.webapi = WebApi(self.catalogue, records, self.lyrics)
        self.site = HttpSite(self.webapi, WebService(self.catalogue, records),
                             Site(self.catalogue, self.media, self.lyrics, records, self.ports),
                             self.scenarios, self.log, self.lyrics, self.stop_event)

    def _serve_http(self, sock):
        self.site.serve_connection(sock)

    def start(self):
        self.login_server.start()
        self.http_server.start()

    def stop(self):
        self.stop_event.set()
        self.http_server.stop()
        self.login_server.stop()
        self.lyrics.remove_all()


def main(argv=None):
    parser = argparse.ArgumentParser(description="The stand-in site for tests and the demo.")
    parser.add_argument("--http-port", type=int, default=DEFAULT_HTTP_PORT,
                        help="port of every HTTP role (default 18081; 0: a free port)")
    parser.add_argument("--login-port", type=int, default=DEFAULT_LOGIN_PORT,
                        help="port of the socket login (default 8080; 0: a free port)")
    parser.add_argument("--data", help="cache of generated files and uploads "
                        "(default ~/.cache/reviverod/standin)")
    parser.add_argument("--update-version",
                        help="the version the update description offers "
                        "(default: the catalogue's, newer than the program's)")
    parser.add_argument("--catalogue", default=DEFAULT_FILE, help=argparse.SUPPRESS)
    args = parser.parse_args(argv)

    try:
        standin = StandIn(args.http_port, args.login_port, args.data, args.catalogue)
        if args.update_version:
            standin.catalogue.update["version"] = args.update_version
    except (OSError, CatalogueError, media.MediaError) as e:
        print("standin: cannot start: %s" % e, file=sys.stderr, flush=True)
        return 1

    def on_signal(signum, frame):
        standin.stop_event.set()
    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)

    standin.start()
    print("ready http=%d login=%d pid=%d" % (standin.ports["http"], standin.ports["login"],
                                             os.getpid()), flush=True)
    while not standin.stop_event.wait(1.0):
        pass
    standin.stop()
    print("stopped", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
