"""What the program sent: every HTTP request and every login, kept until reset so that a test
can check the exact bytes. Only the newest entries are kept, so a long run by hand stays small;
sequence numbers keep counting from the reset."""

import base64
import collections
import threading
import time

import forms

KEEP = 2000  # entries of each kind


def _b64(data):
    return base64.b64encode(data).decode("ascii")


class RequestLog:
    def __init__(self):
        self._lock = threading.Lock()
        self._http = collections.deque(maxlen=KEEP)
        self._logins = collections.deque(maxlen=KEEP)
        self._counts = {"http": 0, "login": 0}

    def reset(self):
        with self._lock:
            self._http.clear()
            self._logins.clear()
            self._counts = {"http": 0, "login": 0}

    def _append(self, kind, entry):
        with self._lock:
            self._counts[kind] += 1
            entry["seq"] = self._counts[kind]
            (self._http if kind == "http" else self._logins).append(entry)
        return entry

    def add_http(self, request):
        """Records a request; returns its entry, whose "reply_status" the server fills in."""
        entry = {
            "time": time.time(), "method": request.method, "target": request.target,
            "path": request.path, "query": request.query, "version": request.version,
            "headers": [list(h) for h in request.headers], "head_b64": _b64(request.head),
            "body_b64": _b64(request.body), "body_size": len(request.body),
            "reply_status": None, "raw": request.head + request.raw_body,
        }
        try:
            entry["form"] = [p.summary() for p in
                             forms.parse(request.header("Content-Type"), request.body)]
        except forms.FormError:
            pass
        return self._append("http", entry)

    def add_login(self, raw, fields):
        return self._append("login", dict(fields, time=time.time(), raw_b64=_b64(raw), raw=raw))

    def snapshot(self, path_prefix=""):
        """The log as JSON-ready data; HTTP entries filtered by path prefix."""
        strip = lambda e: {k: v for k, v in e.items() if k != "raw"}
        with self._lock:
            return {"requests": [strip(e) for e in self._http
                                 if e["path"].startswith(path_prefix)],
                    "logins": [strip(e) for e in self._logins]}

    def raw(self, kind, seq):
        """Exact bytes of one entry ("http" or "login", counted from 1), or None."""
        with self._lock:
            for entry in self._http if kind == "http" else self._logins:
                if entry["seq"] == seq:
                    return entry["raw"]
        return None
