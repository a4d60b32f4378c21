import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import unittest
import urllib.request

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def get(port, path):
    return fetch(port, path)[0]


def fetch(port, path):
    with urllib.request.urlopen("http://127.0.0.1:%d%s" % (port, path), timeout=10) as reply:
        return reply.status, reply.read()


class Process(unittest.TestCase):
    def test_ready_line_then_clean_stop_on_sigterm(self):
        proc = subprocess.Popen([sys.executable, os.path.join(HERE, "standin.py"),
                                 "--http-port", "0", "--login-port", "0",
                                 "--update-version", "1.0.15.17"],
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        try:
            line = proc.stdout.readline().decode()
            fields = dict(p.split("=") for p in line.split()[1:])
            self.assertTrue(line.startswith("ready "), line)
            self.assertEqual(200, get(int(fields["http"]), "/"))
            # The demo offers the program's own version, so signing in shows no update.
            update = fetch(int(fields["http"]), "/daruruvidev/update.xml")[1]
            self.assertIn(b"<version>1.0.15.17</version>", update)
            socket.create_connection(("127.0.0.1", int(fields["login"])), timeout=5).close()
            proc.send_signal(signal.SIGTERM)
            out, err = proc.communicate(timeout=15)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        self.assertEqual((0, b"stopped\n", b""), (proc.returncode, out, err))

    def test_busy_port_is_reported(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            done = subprocess.run([sys.executable, os.path.join(HERE, "standin.py"),
                                   "--http-port", str(taken.getsockname()[1]),
                                   "--login-port", "0"],
                                  stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        self.assertEqual(1, done.returncode)
        self.assertIn(b"cannot start", done.stderr)

    def test_fixture_starts_replaces_and_stops(self):
        fixture = os.path.join(HERE, "fixture.py")
        with tempfile.TemporaryDirectory() as state:
            ports_file = os.path.join(state, "ports.json")
            started = []
            for _ in range(2):  # the second start stops the first stand-in
                subprocess.run([sys.executable, fixture, "start", state], check=True,
                               stdin=subprocess.DEVNULL, capture_output=True, timeout=200)
                with open(ports_file) as f:
                    ports = json.load(f)
                self.assertEqual(200, get(ports["http"], "/"))
                started.append(ports)
            with self.assertRaises(OSError):
                get(started[0]["http"], "/")
            subprocess.run([sys.executable, fixture, "stop", state], check=True,
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
            self.assertFalse(os.path.exists(ports_file))
            with self.assertRaises(OSError):
                get(ports["http"], "/")


if __name__ == "__main__":
    unittest.main()
