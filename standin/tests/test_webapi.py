import json
import time
import unittest

from signing import API_KEY, md5_hex, percent_encode, signed_query
from tests.helpers import StandInTest, start_module_standin, stop_module_standin


def setUpModule():
    start_module_standin(__name__)


def tearDownModule():
    stop_module_standin(__name__)


def boundary_body(name, filename, data):
    boundary = "------------------------d74496d66958873e"
    body = ("--%s\r\nContent-Disposition: form-data; name=\"%s\"; filename=\"%s\"\r\n"
            "Content-Type: application/octet-stream\r\n\r\n" % (boundary, name, filename)
            ).encode() + data + ("\r\n--%s--\r\n" % boundary).encode()
    return body, "multipart/form-data; boundary=" + boundary


class WebApi(StandInTest):
    def call(self, path, method="GET", body=None, headers=None):
        status, _, data = self.get(path, method=method, body=body, headers=headers)
        return status, json.loads(data)

    def password_grant(self, user="editor@example.com", password="lyrics123", encoding="gbk"):
        name = percent_encode(user.encode(encoding)).decode()
        return self.call("/api/oauth2/token?grant_type=password&client_id=%s&username=%s"
                         "&password=%s" % (API_KEY, name, md5_hex(password)))

    def method(self, name, params, token=None, call_id=None, **kw):
        query = signed_query(name, params, call_id or int(time.time()))
        if token:
            query += "&access_token=" + token
        return self.call("/sdk?" + query, **kw)

    def upload(self, song_id, data, token, field="lyric"):
        body, kind = boundary_body(field, "%d.lrc" % song_id, data)
        return self.method("Songs.AddLyricFile", [("song_id", str(song_id)), ("type", "1")],
                           token, method="POST", body=body, headers={"Content-Type": kind})

    def test_password_grant_accepts_the_digest_in_either_code_page(self):
        status, reply = self.password_grant()
        self.assertEqual(200, status)
        self.assertEqual(["access_1", "refresh_1", 3600],
                         [reply["access_token"], reply["refresh_token"], reply["expires_in"]])
        self.assertEqual(200, self.password_grant("歌词编辑@example.com", "密码123")[0])
        self.assertEqual(200, self.password_grant("歌词编辑@example.com", "密码123", "utf-8")[0])
        self.assertEqual(200, self.password_grant("test user", "it's a secret")[0])
        status, reply = self.password_grant(password="wrong")
        self.assertEqual((401, "failed", "Invalid username or password"),
                         (status, reply["status"], reply["err"]))

    def test_refresh_grant_rotates_and_names_its_failures(self):
        self.password_grant()
        path = "/sdk/oauth2/token?grant_type=refresh_token&refresh_token=%s&client_id=" + API_KEY
        status, reply = self.call(path % "refresh_1" + "&access_token=access_1")
        self.assertEqual((200, "access_2"), (status, reply["access_token"]))
        self.assertEqual((400, "Invalid refresh token"), self.err(self.call(path % "refresh_1")))
        self.assertEqual((400, 'No "refresh_token" parameter found'),
                         self.err(self.call(path % "")))
        self.assertEqual((401, "Invalid client_id"), self.err(
            self.call("/api/oauth2/token?grant_type=password&client_id=nope")))

    @staticmethod
    def err(result):
        return result[0], result[1]["err"]

    def test_track_and_album_detail_point_back_at_the_stand_in(self):
        status, reply = self.method("Songs.getTrackDetail", [("id", "123"), ("quality", "l")])
        self.assertEqual((200, "ok"), (status, reply["status"]))
        song = reply["data"]
        base = "http://127.0.0.1:%d/" % self.http_port
        self.assertEqual([123, "晴天", 456], [song["song_id"], song["song_name"],
                                              song["album_id"]])
        for key in ("track_url", "lyric", "logo", "album_logo", "artist_logo"):
            self.assertTrue(song[key].startswith(base), key)
            self.assertEqual(200, self.get(song[key][len(base) - 1:])[0], key)
        status, reply = self.method("Albums.detail", [("id", "457")])
        album = reply["data"]
        self.assertEqual([457, 3], [album["album_id"], len(album["songs"])])
        # The older key for the audio address, and an empty track_url beside it.
        self.assertEqual(("", base + "audio/202.mp3"),
                         (album["songs"][2]["track_url"], album["songs"][2]["listen_file"]))
        self.assertEqual((404, "Song not found"),
                         self.err(self.method("Songs.getTrackDetail", [("id", "999")])))

    def test_signature_call_id_and_method_are_checked(self):
        query = signed_query("Songs.getTrackDetail", [("id", "123")], int(time.time()))
        self.assertEqual((400, "Invalid signature"),
                         self.err(self.call("/sdk?" + query.replace("id=123", "id=124"))))
        self.assertEqual((400, "Invalid params call_id specified"), self.err(
            self.method("Songs.getTrackDetail", [("id", "123")], call_id=1400000000)))
        self.assertEqual((400, "Invalid method specified"),
                         self.err(self.method("Songs.nothing", [])))
        self.assertEqual((400, "Invalid API key"), self.err(self.call("/sdk?id=1")))

    def test_upload_is_served_and_replaces_the_songs_lyric(self):
        token = self.password_grant()[1]["access_token"]
        lyric = "[00:01.00]新的歌词\r\n".encode()
        status, reply = self.upload(124, lyric, token)
        self.assertEqual((200, "ok"), (status, reply["status"]))
        url = reply["data"]["lyric"]
        path = url[len("http://127.0.0.1:%d" % self.http_port):]
        self.assertEqual((200, lyric), self.get(path)[::2])
        detail = self.method("Songs.getTrackDetail", [("id", "124"), ("quality", "l")])[1]
        self.assertEqual(url, detail["data"]["lyric"])
        entry = self.control("log?path=/sdk")["requests"][0]
        self.assertEqual([{"name": "lyric", "filename": "124.lrc", "size": len(lyric),
                           "content_type": "application/octet-stream"}], entry["form"])
        self.control("reset")
        self.assertEqual(404, self.get(path)[0])

    def test_upload_failures(self):
        self.assertEqual((401, 'No "access_token" parameter found'),
                         self.err(self.upload(123, b"x", None)))
        self.assertEqual((401, "Invalid access token"), self.err(self.upload(123, b"x", "bad")))
        token = self.password_grant()[1]["access_token"]
        for song_id, data, field, err in ((999, b"x", "lyric", "101"), (123, b"", "lyric", "102"),
                                          (123, b"x", "file", "103"), (301, b"x", "lyric", "105")):
            status, reply = self.upload(song_id, data, token, field)
            self.assertEqual((200, "failed", {}), (status, reply["status"], reply["data"]))
            self.assertTrue(reply["err"].startswith(err), reply["err"])


if __name__ == "__main__":
    unittest.main()
