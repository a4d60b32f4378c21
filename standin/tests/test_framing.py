import base64
import gzip
import unittest
import zlib

from tests.helpers import StandInTest, connect, dechunk, quiet_for, raw_get, read_all, \
    split_reply, start_module_standin, stop_module_standin

PATH = "/app/ws/car-radios"


def setUpModule():
    start_module_standin(__name__)


def tearDownModule():
    stop_module_standin(__name__)


class Framing(StandInTest):
    def setUp(self):
        super().setUp()
        self.plain = self.get(PATH)[2]
        self.control("reset")  # an empty log again

    def fetch(self, path=PATH, **rule):
        """Reads of one raw-socket exchange under the given rule (closed by the server)."""
        self.scenario(http=dict(rule, match=path))
        sock = connect(self.http_port)
        sock.sendall(raw_get(self.http_port, path, close=True))
        reads = read_all(sock)
        sock.close()
        return reads

    def fetch_writes(self, writes, **rule):
        """Reads of an exchange whose reply the rule makes in `writes` writes with pauses between
        them, one read per write. A read never splits one of these small writes, but a reader
        that comes back later than a pause (a loaded machine) finds two in one read: such an
        exchange is tried again, while more reads than writes fails at once."""
        for _ in range(5):
            reads = self.fetch(**rule)
            self.assertLessEqual(len(reads), writes, rule)
            if len(reads) == writes:
                return reads
        self.fail("the reads merged writes in every exchange: %r" % (rule,))

    def test_request_is_logged_byte_for_byte(self):
        request = raw_get(self.http_port, PATH + "?x=1", close=True)
        sock = connect(self.http_port)
        sock.sendall(request)
        read_all(sock)  # answered, so logged
        sock.close()
        entry = self.control("log")["requests"][0]
        self.assertEqual(["GET", PATH, "x=1", "http://127.0.0.1:%d%s?x=1" % (self.http_port, PATH)],
                         [entry["method"], entry["path"], entry["query"], entry["target"]])
        self.assertEqual(request, base64.b64decode(entry["head_b64"]))
        self.assertEqual(request, self.control("raw/http/1"))
        self.assertEqual([], self.control("log?path=/sdk")["requests"])

    def test_keep_alive_answers_several_requests_on_one_connection(self):
        sock = connect(self.http_port)
        for _ in range(3):
            sock.sendall(raw_get(self.http_port, PATH))
            data = b""
            while len(data) < len(self.plain) or b"\r\n\r\n" not in data:
                data += sock.recv(65536)
            status, headers, body = split_reply(data)
            self.assertEqual("HTTP/1.1 200 OK", status)
            self.assertIn("Content-Length: %d" % len(self.plain), headers)
            self.assertIn("Connection: keep-alive", headers)
            self.assertEqual(self.plain, body)
        sock.close()

    def test_framings_codings_and_header_names(self):
        length = "Content-Length: %d" % len(self.plain)
        # Each row: the rule, header lines the reply has, a text no header has, the decoder.
        cases = [
            (dict(encoding="gzip"), ["Content-Encoding: gzip"], None, gzip.decompress),
            (dict(encoding="gzip-zlib"), ["Content-Encoding: gzip"], None, zlib.decompress),
            (dict(encoding="deflate"), ["Content-Encoding: deflate"], None, zlib.decompress),
            (dict(framing="chunked", chunk_size=100, chunk_ext=";x=y", encoding="gzip"),
             ["Transfer-Encoding: chunked"], "Content-Length",
             lambda body: gzip.decompress(dechunk(body))),
            (dict(framing="both"), [length, "Transfer-Encoding: chunked"], None, bytes),
            (dict(framing="close"), ["Connection: close"], "Length", bytes),
            (dict(lowercase_headers=True), [length.lower()], None, bytes),
        ]
        for rule, present, absent, decode in cases:
            _, headers, body = split_reply(b"".join(self.fetch(**rule)))
            for header in present:
                self.assertIn(header, headers, rule)
            self.assertFalse(absent and any(absent in h for h in headers), rule)
            self.assertEqual(self.plain, decode(body), rule)

    def test_idle_framing_keeps_the_connection_open_after_the_body(self):
        self.scenario(http={"framing": "idle"})
        sock = connect(self.http_port)
        sock.sendall(raw_get(self.http_port, PATH))
        data = b""
        while not data.endswith(self.plain):
            data += sock.recv(65536)
        self.assertTrue(quiet_for(sock, 1.0))
        sock.close()

    def test_pieces_keep_the_head_whole_in_the_first_write(self):
        reads = self.fetch_writes(3, pieces=3, pause_ms=300)
        self.assertIn(b"\r\n\r\n", reads[0])
        self.assertFalse(reads[0].endswith(b"\r\n\r\n"))
        self.assertEqual(self.plain, split_reply(b"".join(reads))[2])

    def test_split_at_exact_offsets_may_cut_the_head(self):
        reads = self.fetch_writes(3, split_at=[10, 20], pause_ms=300)
        self.assertEqual([10, 10], [len(r) for r in reads[:2]])

    def test_truncate_closes_early(self):
        data = b"".join(self.fetch(truncate=200))
        self.assertEqual(200, len(data))
        self.assertIn(b"Content-Length: %d" % len(self.plain), data)

    def test_close_without_reply_and_silence(self):
        self.assertEqual([], self.fetch(action="close"))
        self.scenario(http={"action": "silent"})
        sock = connect(self.http_port)
        sock.sendall(raw_get(self.http_port, PATH))
        self.assertTrue(quiet_for(sock, 1.0))
        self.control("reset")
        self.assertEqual([], read_all(sock))
        sock.close()

    def test_rules_match_by_path_and_run_out(self):
        self.scenario(http=[{"match": "/app/ws/song-detail", "status": 500, "times": 1}])
        self.assertEqual(200, self.get(PATH)[0])
        self.assertEqual(500, self.get("/app/ws/song-detail?id=123")[0])
        self.assertEqual(200, self.get("/app/ws/song-detail?id=123")[0])

    def test_body_replacement_and_forced_api_error(self):
        self.scenario(http={"body": "Invalid refresh token", "status": 400})
        self.assertEqual((400, b"Invalid refresh token"), self.get(PATH)[::2])
        self.scenario(http={"error": "refresh_token_expired"})
        status, _, body = self.get("/api/oauth2/token")
        self.assertEqual(400, status)
        self.assertIn(b'"err": "Refresh token has expired"', body)

    def test_mistyped_scenarios_are_refused(self):
        for rules in ({"http": {"framing": "chunky"}}, {"http": {"stauts": 500}},
                     {"login": {"result": "1"}}, {"other": {}}):
            self.assertIn("status", self.control("scenario", rules, expect=400))


if __name__ == "__main__":
    unittest.main()
