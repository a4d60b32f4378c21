import re
import unittest
import zlib

from tests.helpers import StandInTest, connect, raw_get, split_reply, start_module_standin, \
    stop_module_standin

PATH = "/app/ws/car-radios"
ENOUGH = 3 << 20  # well past anything the flood could have buffered before it began


def setUpModule():
    start_module_standin(__name__)


def tearDownModule():
    stop_module_standin(__name__)


class Hostile(StandInTest):
    def read_some(self, count, **rule):
        self.scenario(http=dict(rule, match=PATH))
        sock = connect(self.http_port)
        sock.sendall(raw_get(self.http_port, PATH))
        data = b""
        while len(data) < count:
            piece = sock.recv(65536)
            self.assertTrue(piece, "the stand-in closed after %d bytes" % len(data))
            data += piece
        sock.close()
        return data

    def test_floods_never_end_in_any_framing(self):
        cases = [("length", "Content-Length: 2147483647", rb"<list>"),
                 ("chunked", "Transfer-Encoding: chunked", rb"[0-9a-f]{4}\r\n<list>"),
                 ("one_chunk", "Transfer-Encoding: chunked", rb"7ffffff0\r\n<list>"),
                 ("close", "Connection: close", rb"<list>")]
        for framing, header, body_start in cases:
            status, headers, body = split_reply(self.read_some(ENOUGH, flood=framing))
            self.assertEqual("HTTP/1.1 200 OK", status, framing)
            self.assertIn(header, headers, framing)
            self.assertTrue(re.match(body_start, body), (framing, body[:40]))
        self.control("reset")
        self.assertEqual(200, self.get(PATH)[0])  # the closed floods hold nothing up

    def test_bomb_is_a_small_gzip_body_that_inflates_to_its_size(self):
        self.scenario(http={"match": PATH, "bomb_mb": 64})
        status, headers, body = self.get(PATH)
        self.assertEqual((200, "gzip"), (status, headers["Content-Encoding"]))
        self.assertLess(len(body), 256 << 10)
        inflater = zlib.decompressobj(31)
        size = 0
        while body:
            size += len(inflater.decompress(body, 1 << 20))
            body = inflater.unconsumed_tail
        self.assertEqual(64 << 20, size)


if __name__ == "__main__":
    unittest.main()
