"""What a test has asked the stand-in to do differently, until the next reset.

A scenario holds two lists of rules, one for HTTP requests and one for logins. The first rule
that matches a request and has uses left shapes its reply; a rule without "times" applies until
reset. Unknown fields or values are refused, so a mistyped scenario fails its test at once
instead of silently doing nothing.
"""

import threading

import hostile
from errors import API_ERRORS

# field -> check of its value
_INT = lambda v: isinstance(v, int) and not isinstance(v, bool)
_NONNEG = lambda v: _INT(v) and v >= 0
_TEXT = lambda v: isinstance(v, str)
_BOOL = lambda v: isinstance(v, bool)
_CUTS = lambda v: isinstance(v, list) and all(_NONNEG(x) for x in v)
_DELAY = lambda v: _NONNEG(v) and v <= 120000

_COMMON = {
    "times": _NONNEG,
    "delay_ms": _DELAY,
    "pause_ms": _DELAY,
    "pieces": lambda v: _INT(v) and 1 <= v <= 10000,
    "split_at": _CUTS,
}

HTTP_FIELDS = dict(_COMMON, **{
    "match": _TEXT,
    "method": _TEXT,
    "action": lambda v: v in ("reply", "close", "silent"),
    "status": lambda v: _INT(v) and 100 <= v <= 999,
    "reason": _TEXT,
    "body": _TEXT,
    "body_b64": _TEXT,
    "content_type": _TEXT,
    "error": lambda v: v in API_ERRORS,
    "encoding": lambda v: v in ("identity", "gzip", "gzip-zlib", "deflate"),
    "framing": lambda v: v in ("length", "chunked", "both", "close", "idle"),
    "chunk_size": lambda v: _INT(v) and v >= 1,
    "chunk_ext": _TEXT,
    "content_length": lambda v: _INT(v) or _TEXT(v),
    "lowercase_headers": _BOOL,
    "headers": lambda v: isinstance(v, list) and all(
        isinstance(h, list) and len(h) == 2 and all(_TEXT(x) for x in h) for h in v),
    "truncate": _NONNEG,
}, **hostile.FIELDS)

LOGIN_FIELDS = dict(_COMMON, **{
    "action": lambda v: v in ("reply", "close", "silent"),
    "result": _INT,
    "value": _INT,
    "length": _NONNEG,
})


class ScenarioError(ValueError):
    pass


def _check(rules, fields, what):
    if isinstance(rules, dict):
        rules = [rules]
    if not isinstance(rules, list):
        raise ScenarioError("%s: a rule object or a list of them" % what)
    checked = []
    for rule in rules:
        if not isinstance(rule, dict):
            raise ScenarioError("%s: a rule must be an object" % what)
        for key, value in rule.items():
            if key not in fields:
                raise ScenarioError("%s: unknown field %r" % (what, key))
            if not fields[key](value):
                raise ScenarioError("%s: bad value for %r: %r" % (what, key, value))
        checked.append(dict(rule))
    return checked


class Scenarios:
    def __init__(self):
        self._lock = threading.Lock()
        self._http = []
        self._login = []
        self.generation = 0  # bumped by every change: held connections let go on a change

    def set(self, request):
        """Replaces the HTTP rules, the login rules or both, as the request names them."""
        if not isinstance(request, dict) or not set(request) <= {"http", "login"}:
            raise ScenarioError('a scenario is an object with "http" and/or "login"')
        http = _check(request["http"], HTTP_FIELDS, "http") if "http" in request else None
        login = _check(request["login"], LOGIN_FIELDS, "login") if "login" in request else None
        with self._lock:
            if http is not None:
                self._http = http
            if login is not None:
                self._login = login
            self.generation += 1

    def reset(self):
        with self._lock:
            self._http, self._login = [], []
            self.generation += 1

    @staticmethod
    def _take(rules, matches):
        for rule in rules:
            if matches(rule) and rule.get("times", -1) != 0:
                if "times" in rule:
                    rule["times"] -= 1
                return dict(rule)
        return {}

    def take_http(self, method, path):
        """The rule for this request ({} for none), one use of it consumed."""
        def matches(rule):
            return (path.startswith(rule.get("match", "")) and
                    rule.get("method", method) == method)
        with self._lock:
            return self._take(self._http, matches)

    def take_login(self):
        with self._lock:
            return self._take(self._login, lambda rule: True)

    def snapshot(self):
        with self._lock:
            return {"http": [dict(r) for r in self._http],
                    "login": [dict(r) for r in self._login]}
