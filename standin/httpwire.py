"""HTTP/1.1 on a raw socket, as the stand-in needs it: requests read byte for byte (absolute-form
or origin-form request lines, bodies by length or chunked), and replies whose framing, coding and
segmentation a test chooses. Header names in replies are written exactly as given, one space
after the colon, because the program's raw-socket client looks for them case-sensitively."""

import gzip
import http
import socket
import time
import zlib

import hostile

MAX_HEAD = 64 * 1024
MAX_BODY = 16 * 1024 * 1024
POLL = 0.2  # seconds; every wait of the server is a loop of these, checking for a stop


class BadRequest(Exception):
    pass


class Request:
    def __init__(self, head, raw_body, body):
        self.head = head          # bytes, request line to the empty line included
        self.raw_body = raw_body  # bytes as they came (chunked framing included)
        self.body = body          # bytes after de-chunking
        lines = head[:-4].split(b"\r\n")
        parts = lines[0].split(b" ")
        if len(parts) != 3 or not parts[2].startswith(b"HTTP/"):
            raise BadRequest("bad request line %r" % lines[0][:200])
        self.method = parts[0].decode("latin-1")
        self.target = parts[1].decode("latin-1")
        self.version = parts[2].decode("latin-1")
        self.headers = []
        for line in lines[1:]:
            name, colon, value = line.partition(b":")
            if not colon:
                raise BadRequest("bad header line %r" % line[:200])
            self.headers.append((name.decode("latin-1"), value.strip().decode("latin-1")))
        origin = self.target
        if origin.startswith("http://") or origin.startswith("https://"):
            # Absolute form, as the raw-socket client sends it: drop scheme and authority.
            slash = origin.find("/", origin.index("//") + 2)
            origin = origin[slash:] if slash >= 0 else "/"
        self.path, _, self.query = origin.partition("?")

    def header(self, name):
        """First value of a header, name matched without regard to case (as servers do)."""
        name = name.lower()
        for key, value in self.headers:
            if key.lower() == name:
                return value
        return None

    def wants_close(self):
        value = (self.header("Connection") or "").lower()
        return value == "close" or (self.version == "HTTP/1.0" and value != "keep-alive")


class Connection:
    """Reads requests from one accepted socket; every wait is bounded and watches `stop`."""

    def __init__(self, sock, stop, idle_seconds):
        self.sock = sock
        self.stop = stop
        self.idle_seconds = idle_seconds
        self.buf = b""
        sock.settimeout(POLL)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def _fill(self, deadline):
        """Reads more bytes into the buffer; False on end of stream, stop or time-out."""
        while not self.stop.is_set() and time.monotonic() < deadline:
            try:
                data = self.sock.recv(65536)
            except socket.timeout:
                continue
            except OSError:
                return False
            if not data:
                return False
            self.buf += data
            return True
        return False

    def _take(self, count, deadline):
        while len(self.buf) < count:
            if not self._fill(deadline):
                raise BadRequest("connection ended inside the body")
        data, self.buf = self.buf[:count], self.buf[count:]
        return data

    def _take_line(self, deadline):
        while b"\r\n" not in self.buf:
            if len(self.buf) > MAX_HEAD or not self._fill(deadline):
                raise BadRequest("connection ended inside a chunk size line")
        line, _, self.buf = self.buf.partition(b"\r\n")
        return line

    def read_request(self):
        """The next request, or None when the peer closed or stayed idle too long."""
        deadline = time.monotonic() + self.idle_seconds
        while b"\r\n\r\n" not in self.buf:
            if len(self.buf) > MAX_HEAD:
                raise BadRequest("request head too large")
            if not self._fill(deadline):
                if self.buf.strip():
                    raise BadRequest("connection ended inside the request head")
                return None
        end = self.buf.index(b"\r\n\r\n") + 4
        head, self.buf = self.buf[:end], self.buf[end:]
        probe = Request(head, b"", b"")
        if (probe.header("Expect") or "").lower() == "100-continue":
            self.sock.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
        deadline = time.monotonic() + self.idle_seconds
        if (probe.header("Transfer-Encoding") or "").lower() == "chunked":
            raw, body = self._read_chunked(deadline)
        else:
            length = probe.header("Content-Length")
            try:
                count = int(length) if length is not None else 0
            except ValueError:
                raise BadRequest("bad Content-Length %r" % length)
            if count < 0 or count > MAX_BODY:
                raise BadRequest("Content-Length %d out of range" % count)
            raw = body = self._take(count, deadline)
        return Request(head, raw, body)

    def _read_chunked(self, deadline):
        raw, body = b"", b""
        while True:
            line = self._take_line(deadline)
            raw += line + b"\r\n"
            try:
                size = int(line.split(b";")[0].strip(), 16)
            except ValueError:
                raise BadRequest("bad chunk size line %r" % line[:100])
            if size < 0 or len(body) + size > MAX_BODY:
                raise BadRequest("chunk size out of range")
            if size == 0:
                while True:  # trailer lines up to the empty one
                    line = self._take_line(deadline)
                    raw += line + b"\r\n"
                    if not line:
                        return raw, body
            data = self._take(size + 2, deadline)
            raw += data
            body += data[:size]

    def hold(self, seconds, released):
        """Keeps the connection open without answering until the peer closes, `released()`
        says so, the stand-in stops, or the time runs out."""
        deadline = time.monotonic() + seconds
        while not self.stop.is_set() and not released() and time.monotonic() < deadline:
            try:
                if not self.sock.recv(65536):
                    return
            except socket.timeout:
                continue
            except OSError:
                return

    def close(self):
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()


def encode_body(body, coding):
    """(coded body, Content-Encoding value or None) for a scenario's coding."""
    if coding in (None, "identity"):
        return body, None
    if coding == "gzip":
        return gzip.compress(body, mtime=0), "gzip"
    if coding == "gzip-zlib":
        # A zlib stream under the gzip label: decoders that detect the header read it anyway.
        return zlib.compress(body), "gzip"
    if coding == "deflate":
        return zlib.compress(body), "deflate"
    raise ValueError("unknown coding %r" % coding)


def chunk_body(body, size, extension=""):
    out = bytearray()
    ext = extension.encode("latin-1")
    for pos in range(0, len(body), max(size, 1)):
        piece = body[pos:pos + size]
        out += b"%x" % len(piece) + ext + b"\r\n" + piece + b"\r\n"
    return bytes(out + b"0\r\n\r\n")


class Reply:
    """One reply, framed by a scenario rule. `data` is the whole byte string to send, `head_len`
    the length of its head, `after` what becomes of the connection: "keep", "close" or "hold"."""

    def __init__(self, status, content_type, body, rule, head_only=False, client_close=False):
        if "bomb_mb" in rule:
            body, coding = hostile.gzip_bomb(rule["bomb_mb"]), "gzip"
        else:
            body, coding = encode_body(body, rule.get("encoding"))
        framing = rule.get("framing", "length")
        headers = [("Server", "standin"), ("Content-Type", content_type)]
        if coding:
            headers.append(("Content-Encoding", coding))
        length = str(rule.get("content_length", len(body)))
        if framing == "length":
            headers.append(("Content-Length", length))
        elif framing == "chunked":
            headers.append(("Transfer-Encoding", "chunked"))
            body = chunk_body(body, rule.get("chunk_size", 1024), rule.get("chunk_ext", ""))
        elif framing == "both":
            headers += [("Content-Length", length), ("Transfer-Encoding", "chunked")]
        elif framing not in ("close", "idle"):
            raise ValueError("unknown framing %r" % framing)
        self.after = {"close": "close", "idle": "hold"}.get(framing, "keep")
        if client_close and self.after == "keep":
            self.after = "close"
        headers.append(("Connection", "close" if self.after == "close" else "keep-alive"))
        headers += [tuple(h) for h in rule.get("headers", [])]
        if rule.get("lowercase_headers"):
            headers = [(n.lower(), v) for n, v in headers]
        reason = rule.get("reason") or _reason(status)
        head = "HTTP/1.1 %d %s\r\n" % (status, reason)
        head += "".join("%s: %s\r\n" % h for h in headers) + "\r\n"
        self.status = status
        self.head_len = len(head.encode("latin-1"))
        self.data = head.encode("latin-1") + (b"" if head_only else body)


def _reason(status):
    try:
        return http.HTTPStatus(status).phrase
    except ValueError:
        return "Unknown"
