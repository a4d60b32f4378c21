"""The socket login exchange: a length-prefixed "logon" request carrying the password's MD5
digest and the UTF-8 user name, answered by a length-prefixed reply with the result at offset 36
and a kept value at offset 40. All integers are 32-bit little-endian."""

import socket
import struct
import time

from split_writes import send_in_pieces, split_points
from signing import md5_hex

REQUEST_FIXED = 169       # bytes of a request besides the user name
REPLY_SIZE = 48
MAX_REQUEST = 64 * 1024
IDLE_SECONDS = 30
HOLD_SECONDS = 120


def parse_request(data):
    """The fields of a whole request (its length prefix included)."""
    length, v1, v2 = struct.unpack_from("<III", data, 0)
    user = data[168:].split(b"\0", 1)[0]
    return {
        "length": length, "words": [v1, v2],
        "command": data[12:20].rstrip(b"\0").decode("latin-1"),
        "digest": data[52:117].split(b"\0", 1)[0].decode("latin-1"),
        "user": user.decode("utf-8", errors="replace"), "user_hex": user.hex(),
        "zero_filled": not any(data[20:52]) and not any(data[117:168]),
    }


def build_reply(result, value, length=REPLY_SIZE):
    """The reply bytes. A length below the usual size cuts the reply short there (at least the
    4 length bytes are sent); a larger one pads it with zeros."""
    full = struct.pack("<I", length) + bytes(32) + struct.pack("<ii", result, value) + bytes(4)
    if length < REPLY_SIZE:
        return full[:max(length, 4)]
    return full + bytes(length - REPLY_SIZE)


class LoginServer:
    def __init__(self, catalogue, scenarios, log, stop):
        self.catalogue = catalogue
        self.scenarios = scenarios
        self.log = log
        self.stop = stop

    def _read(self, sock, count, deadline):
        data = b""
        while len(data) < count:
            if self.stop.is_set() or time.monotonic() > deadline:
                return None
            try:
                got = sock.recv(count - len(data))
            except socket.timeout:
                continue
            if not got:
                return None
            data += got
        return data

    def _hold(self, sock, generation):
        deadline = time.monotonic() + HOLD_SECONDS
        while (not self.stop.is_set() and self.scenarios.generation == generation and
               time.monotonic() < deadline):
            try:
                if not sock.recv(4096):
                    return
            except socket.timeout:
                continue

    def check(self, fields):
        """(result, value) the site gives for these credentials."""
        account = self.catalogue.account_by_name(bytes.fromhex(fields["user_hex"]))
        if account and fields["digest"] == md5_hex(account["password"]):
            return 1, account["uid"]
        return 0, 0

    def serve_connection(self, sock):
        sock.settimeout(0.2)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        try:
            self._serve(sock)
            # Closing with unread bytes would reset the connection and could destroy the reply
            # in flight: finish sending, then take what is left until the program closes.
            sock.shutdown(socket.SHUT_WR)
            self._read(sock, MAX_REQUEST, time.monotonic() + 1.0)
        except OSError:
            pass  # the program went away; nothing to answer
        finally:
            sock.close()

    def _serve(self, sock):
        deadline = time.monotonic() + IDLE_SECONDS
        prefix = self._read(sock, 4, deadline)
        if prefix is None:
            return
        length = struct.unpack("<I", prefix)[0]
        if not REQUEST_FIXED <= length <= MAX_REQUEST:
            self.log.add_login(prefix, {"error": "request length %d out of range" % length})
            return
        rest = self._read(sock, length - 4, deadline)
        if rest is None:
            self.log.add_login(prefix, {"error": "connection ended inside the request"})
            return
        data = prefix + rest
        fields = parse_request(data)
        generation = self.scenarios.generation
        rule = self.scenarios.take_login()
        action = rule.get("action", "reply")
        if fields["command"] != "logon":
            fields["error"] = "unknown command"
            action = "close"
        result, value = self.check(fields)
        result = rule.get("result", result)
        value = rule.get("value", value)
        reply = build_reply(result, value, rule.get("length", REPLY_SIZE))
        fields.update(action=action, reply_result=result, reply_value=value,
                      reply_length=rule.get("length", REPLY_SIZE))
        self.log.add_login(data, fields)
        if rule.get("delay_ms"):
            self.stop.wait(rule["delay_ms"] / 1000.0)
        if action == "silent":
            self._hold(sock, generation)
        elif action == "reply":
            cuts = split_points(rule, len(reply))
            send_in_pieces(sock, reply, cuts, rule.get("pause_ms", 100) / 1000.0, self.stop)
