"""What the stand-in's tests share: one stand-in per test module, and clients that see the
exact bytes on the wire."""

import http.client
import json
import socket
import time
import unittest

from standin import StandIn

_running = {}


def start_module_standin(module_name):
    standin = StandIn(0, 0)
    standin.start()
    _running[module_name] = standin
    return standin


def stop_module_standin(module_name):
    _running.pop(module_name).stop()


class StandInTest(unittest.TestCase):
    """Base of tests against the module's stand-in, reset before every test."""

    standin = None

    @classmethod
    def setUpClass(cls):
        cls.standin = _running[cls.__module__]
        cls.http_port = cls.standin.ports["http"]
        cls.login_port = cls.standin.ports["login"]

    def setUp(self):
        self.control("reset")

    def control(self, name, body=None, expect=200):
        conn = http.client.HTTPConnection("127.0.0.1", self.http_port, timeout=10)
        data = None if body is None else json.dumps(body).encode()
        method = "GET" if name.startswith("log") or name.startswith("raw/") else "POST"
        conn.request(method, "/_control/" + name, body=data)
        reply = conn.getresponse()
        payload = reply.read()
        conn.close()
        self.assertEqual(expect, reply.status, payload)
        return payload if name.startswith("raw/") else json.loads(payload)

    def scenario(self, **rules):
        self.control("scenario", rules)

    def get(self, path, headers=None, method="GET", body=None):
        """(status, headers dict, body) through an ordinary client."""
        conn = http.client.HTTPConnection("127.0.0.1", self.http_port, timeout=10)
        conn.request(method, path, body=body, headers=headers or {})
        reply = conn.getresponse()
        data = reply.read()
        conn.close()
        return reply.status, dict(reply.getheaders()), data


def connect(port, timeout=10):
    sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return sock


def read_all(sock, limit_seconds=10):
    """Every read until the peer closes, as a list of the pieces recv returned."""
    reads = []
    deadline = time.monotonic() + limit_seconds
    while time.monotonic() < deadline:
        try:
            data = sock.recv(65536)
        except socket.timeout:
            break
        if not data:
            return reads
        reads.append(data)
    raise AssertionError("the connection stayed open; got %r" % b"".join(reads)[:200])


def quiet_for(sock, seconds):
    """True when nothing arrives and the connection stays open for this long."""
    sock.settimeout(seconds)
    try:
        data = sock.recv(1)
    except socket.timeout:
        return True
    finally:
        sock.settimeout(10)
    return False  # data arrived or the peer closed


def raw_get(port, path, close=False):
    """The request line and head the program's raw-socket client writes."""
    host = "127.0.0.1:%d" % port
    lines = ["GET http://%s%s HTTP/1.1" % (host, path), "Host: " + host,
             "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt)",
             "Accept: */*", "Accept-Encoding: gzip", "Accept-Language: zh-CN,zh;q=0.8",
             "Connection: " + ("close" if close else "keep-alive")]
    return ("\r\n".join(lines) + "\r\n\r\n").encode()


def split_reply(data):
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    return lines[0], lines[1:], body


def dechunk(body):
    out = b""
    while True:
        line, _, body = body.partition(b"\r\n")
        size = int(line.split(b";")[0], 16)
        if size == 0:
            return out
        out += body[:size]
        assert body[size:size + 2] == b"\r\n"
        body = body[size + 2:]
