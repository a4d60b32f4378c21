"""Servers that try to exhaust their client: a body that never ends, in each framing, and a small
gzip body that inflates to a huge one. A trickle, malformed or deeply nested replies need nothing
of their own: "pieces" with "pause_ms", and "body", make them."""

import http
import socket
import time
import zlib

# A flood ends after this many bytes or seconds, whichever comes first, when the client has not
# given up before: far past every ceiling of the program, yet a client that reads on (some
# libraries drain what is left of a body when a request is closed) is not held for ever.
FLOOD_BYTES = 32 << 20
FLOOD_SECONDS = 120
FLOOD_FRAMINGS = ("length", "chunked", "one_chunk", "close")
MAX_BOMB_MB = 4096
# Text that looks like a list entry, so that a client sees nothing odd about any single piece.
_FILLER = b"<list><id>1</id><name>flood</name></list>\n" * 1536

FIELDS = {
    "flood": lambda v: v in FLOOD_FRAMINGS,
    "bomb_mb": lambda v: isinstance(v, int) and not isinstance(v, bool) and 1 <= v <= MAX_BOMB_MB,
}

_bombs = {}


def gzip_bomb(megabytes):
    """A gzip stream of `megabytes` MiB of zeros (made once per size, about 1/1000 of it)."""
    if megabytes not in _bombs:
        coder = zlib.compressobj(9, zlib.DEFLATED, 31)
        block = bytes(1 << 20)
        parts = [coder.compress(block) for _ in range(megabytes)]
        _bombs[megabytes] = b"".join(parts) + coder.flush()
    return _bombs[megabytes]


def flood_head(status, content_type, framing):
    try:
        reason = http.HTTPStatus(status).phrase
    except ValueError:
        reason = "Unknown"
    lines = ["HTTP/1.1 %d %s" % (status, reason), "Server: standin", "Content-Type: " + content_type]
    if framing == "length":
        lines.append("Content-Length: 2147483647")
    elif framing in ("chunked", "one_chunk"):
        lines.append("Transfer-Encoding: chunked")
    lines.append("Connection: close")
    head = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")
    if framing == "one_chunk":
        head += b"7ffffff0\r\n"  # one chunk of almost 2 GiB
    return head


def flood(sock, status, content_type, framing, stop):
    """Sends the head and then filler without end, framed as `framing`, until the client closes,
    FLOOD_BYTES or FLOOD_SECONDS run out, or the stand-in stops. The bytes sent."""
    piece = _FILLER
    if framing == "chunked":
        piece = b"%x\r\n" % len(_FILLER) + _FILLER + b"\r\n"
    deadline = time.monotonic() + FLOOD_SECONDS
    sock.settimeout(1.0)
    data, sent = flood_head(status, content_type, framing), 0
    try:
        while not stop.is_set() and time.monotonic() < deadline and sent < FLOOD_BYTES:
            try:
                count = sock.send(data)
            except socket.timeout:
                continue
            sent += count
            data = data[count:] or piece
    except OSError:
        pass  # the client gave up, as it should
    return sent
