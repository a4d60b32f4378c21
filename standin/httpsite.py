"""The stand-in's HTTP port: one connection loop for every role (web API, web service, files,
pages) plus the control path "/_control/" through which tests choose scenarios, reset the
stand-in and read what the program sent."""

import base64
import json
import re
import sys
import traceback

import errors
import hostile
from httpwire import BadRequest, Connection, Reply
from split_writes import send_in_pieces, split_points
from scenarios import ScenarioError

IDLE_SECONDS = 30        # a keep-alive connection with nothing to say is closed after this
HOLD_SECONDS = 120       # the longest a "silent" or "idle" connection is kept open
MAX_REQUESTS = 10000     # per connection
CONTROL = "/_control/"
JSON_TYPE = "application/json; charset=utf-8"


def _json(data, status=200):
    return status, JSON_TYPE, json.dumps(data, ensure_ascii=False).encode("utf-8")


class HttpSite:
    def __init__(self, webapi, webservice, site, scenarios, log, lyrics, stop):
        self.webapi = webapi
        self.webservice = webservice
        self.site = site
        self.scenarios = scenarios
        self.log = log
        self.lyrics = lyrics
        self.stop = stop

    def reset(self):
        self.scenarios.reset()
        self.log.reset()
        self.lyrics.reset()
        self.webapi.reset()

    # ----- routing -----

    def route(self, request):
        try:
            if self.webapi.handles(request.path):
                return self.webapi.handle(request)
            if self.webservice.handles(request.path):
                return self.webservice.handle(request)
            return self.site.handle(request)
        except Exception:
            print("standin: %s %s failed:\n%s" % (request.method, request.target,
                                                  traceback.format_exc()),
                  file=sys.stderr, flush=True)
            status, err = errors.API_ERRORS["server_error"]
            return status, JSON_TYPE, errors.frame("failed", err)

    def control(self, request):
        name = request.path[len(CONTROL):]
        if request.method == "POST" and name == "reset":
            self.reset()
            return _json({"status": "ok"})
        if name == "scenario":
            if request.method == "GET":
                return _json(self.scenarios.snapshot())
            if request.method == "POST":
                try:
                    self.scenarios.set(json.loads(request.body.decode("utf-8")))
                except (ValueError, ScenarioError) as e:
                    return _json({"status": "failed", "err": str(e)}, 400)
                return _json({"status": "ok"})
        if name == "log" and request.method == "GET":
            prefix = dict(re.findall(r"([^&=]+)=([^&]*)", request.query)).get("path", "")
            return _json(self.log.snapshot(prefix))
        m = re.fullmatch(r"raw/(http|login)/(\d+)", name)
        if m and request.method == "GET":
            data = self.log.raw(m.group(1), int(m.group(2)))
            if data is not None:
                return 200, "application/octet-stream", data
        return _json({"status": "failed", "err": "no such control request"}, 404)

    # ----- one connection -----

    def serve_connection(self, sock):
        conn = Connection(sock, self.stop, IDLE_SECONDS)
        try:
            for _ in range(MAX_REQUESTS):
                try:
                    request = conn.read_request()
                except BadRequest as e:
                    conn.sock.sendall(Reply(400, "text/plain", str(e).encode() + b"\n",
                                            {"framing": "close"}).data)
                    return
                if request is None or not self._answer(conn, request):
                    return
        except OSError:
            pass  # the program went away
        finally:
            conn.close()

    def _answer(self, conn, request):
        """Answers one request; False when the connection is to end."""
        head_only = request.method == "HEAD"
        if request.path.startswith(CONTROL):
            status, kind, body = self.control(request)
            reply = Reply(status, kind, body, {}, head_only, request.wants_close())
            conn.sock.sendall(reply.data)
            return reply.after == "keep"
        entry = self.log.add_http(request)
        generation = self.scenarios.generation
        released = lambda: self.scenarios.generation != generation
        rule = self.scenarios.take_http(request.method, request.path)
        action = rule.get("action", "reply")
        if action == "close":
            return False
        if action == "silent":
            conn.hold(HOLD_SECONDS, released)
            return False
        status, kind, body = self._apply(rule, *self.route(request))
        entry["reply_status"] = status
        if "flood" in rule:
            hostile.flood(conn.sock, status, kind, rule["flood"], self.stop)
            return False
        reply = Reply(status, kind, body, rule, head_only, request.wants_close())
        data, after = reply.data, reply.after
        if "truncate" in rule and rule["truncate"] < len(data):
            data, after = data[:rule["truncate"]], "close"
        if rule.get("delay_ms"):
            self.stop.wait(rule["delay_ms"] / 1000.0)
        send_in_pieces(conn.sock, data, split_points(rule, len(data), reply.head_len),
                       rule.get("pause_ms", 100) / 1000.0, self.stop)
        if after == "hold":
            conn.hold(HOLD_SECONDS, released)
        return after == "keep"

    @staticmethod
    def _apply(rule, status, kind, body):
        """The rule's replacements of the natural reply."""
        if "error" in rule:
            status, err = errors.API_ERRORS[rule["error"]]
            kind, body = JSON_TYPE, errors.frame("failed", err)
        if "body" in rule:
            body = rule["body"].encode("utf-8")
        if "body_b64" in rule:
            body = base64.b64decode(rule["body_b64"])
        return rule.get("status", status), rule.get("content_type", kind), body
