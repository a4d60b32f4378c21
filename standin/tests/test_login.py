import struct
import unittest

from tests.helpers import StandInTest, connect, quiet_for, read_all, start_module_standin, \
    stop_module_standin
from signing import md5_hex


def setUpModule():
    start_module_standin(__name__)


def tearDownModule():
    stop_module_standin(__name__)


def logon(user, password):
    """The request the program sends: 169 fixed bytes and the NUL-terminated UTF-8 name."""
    name = user.encode("utf-8")
    data = bytearray(169 + len(name))
    struct.pack_into("<III", data, 0, len(data), 2, 2)
    data[12:17] = b"logon"
    digest = md5_hex(password).encode()
    data[52:52 + len(digest)] = digest
    data[168:168 + len(name)] = name
    return bytes(data)


class Login(StandInTest):
    def exchange(self, request):
        sock = connect(self.login_port)
        sock.sendall(request)
        reads = read_all(sock)
        sock.close()
        return reads

    def test_reply_layout_for_good_and_bad_credentials(self):
        reply = b"".join(self.exchange(logon("editor@example.com", "lyrics123")))
        self.assertEqual(struct.pack("<I32xii4x", 48, 1, 1001), reply)
        reply = b"".join(self.exchange(logon("editor@example.com", "wrong")))
        self.assertEqual(struct.pack("<I32xii4x", 48, 0, 0), reply)

    def test_chinese_user_name_is_read_as_utf8_and_logged(self):
        request = logon("歌词编辑@example.com", "密码123")
        reply = b"".join(self.exchange(request))
        self.assertEqual(1, struct.unpack_from("<i", reply, 36)[0])
        entry = self.control("log")["logins"][0]
        self.assertEqual("歌词编辑@example.com", entry["user"])
        self.assertEqual(md5_hex("密码123"), entry["digest"])
        self.assertEqual([len(request), "logon", True],
                         [entry["length"], entry["command"], entry["zero_filled"]])
        self.assertEqual(request, self.control("raw/login/1"))

    def test_forced_results_and_value_until_the_rule_is_used_up(self):
        for result in (0, 1, 2, 3, -1):
            self.scenario(login={"result": result, "value": 77})
            reply = b"".join(self.exchange(logon("editor@example.com", "lyrics123")))
            self.assertEqual((result, 77), struct.unpack_from("<ii", reply, 36))
        self.scenario(login={"result": 2, "times": 1})
        first = b"".join(self.exchange(logon("editor@example.com", "lyrics123")))
        second = b"".join(self.exchange(logon("editor@example.com", "lyrics123")))
        self.assertEqual([2, 1], [first[36], second[36]])

    def test_short_length_sends_only_that_many_bytes(self):
        self.scenario(login={"length": 4})
        self.assertEqual(struct.pack("<I", 4), b"".join(self.exchange(logon("a", "b"))))
        self.scenario(login={"length": 0})
        self.assertEqual(bytes(4), b"".join(self.exchange(logon("a", "b"))))

    def test_length_split_across_two_segments(self):
        self.scenario(login={"split_at": [2], "pause_ms": 300})
        reads = self.exchange(logon("editor@example.com", "lyrics123"))
        self.assertEqual(b"\x30\x00", reads[0])
        self.assertEqual(48, len(b"".join(reads)))

    def test_close_and_silence(self):
        self.scenario(login={"action": "close"})
        self.assertEqual([], self.exchange(logon("a", "b")))
        self.scenario(login={"action": "silent"})
        sock = connect(self.login_port)
        sock.sendall(logon("a", "b"))
        self.assertTrue(quiet_for(sock, 1.0))
        self.control("reset")  # lets the held connection go
        self.assertEqual([], read_all(sock))
        sock.close()

    def test_bad_length_is_logged_and_dropped(self):
        self.assertEqual([], self.exchange(struct.pack("<I", 12) + bytes(8)))
        self.assertIn("out of range", self.control("log")["logins"][0]["error"])


if __name__ == "__main__":
    unittest.main()
