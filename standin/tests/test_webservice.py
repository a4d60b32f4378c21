import unittest
import urllib.parse
import xml.etree.ElementTree as ET

from tests.helpers import StandInTest, start_module_standin, stop_module_standin


def setUpModule():
    start_module_standin(__name__)


def tearDownModule():
    stop_module_standin(__name__)


class WebServiceAndFiles(StandInTest):
    def xml(self, path, status=200):
        code, headers, body = self.get(path)
        self.assertEqual(status, code, body)
        self.assertTrue(body.startswith(b'<?xml version="1.0" encoding="utf-8"?>'))
        return ET.fromstring(body)

    def test_radio_types_tree(self):
        root = self.xml("/app/ws/car-radios")
        self.assertEqual("types", root.tag)
        albums = root.find("type")
        self.assertEqual(["2", "专辑"], [albums.findtext("type_id"), albums.findtext("type_name")])
        lists = albums.find("sort").findall("list")
        # The first page of the sort: the pages after it are album promotions.
        self.assertEqual(["467", "466", "465", "464", "463", "461", "459", "458"],
                         [e.findtext("list_id") for e in lists])
        cover = lists[0].findtext("cover_url")
        self.assertEqual(200, self.get(urllib.parse.urlsplit(cover).path)[0])

    def test_radio_songs_song_detail_and_artist(self):
        root = self.xml("/app/ws/car-radiosongs?id=900&type=1")
        self.assertEqual(["1", "900"], [root.findtext("type_id"), root.findtext("list_id")])
        self.assertEqual(["123", "200", "300"], [s.findtext("song_id") for s in root.findall("song")])
        song = self.xml("/app/ws/song-detail?id=125")
        self.assertEqual("雨后彩虹 🌈", song.findtext("song_name"))
        location = urllib.parse.unquote(song.findtext("song_location"))
        status, headers, audio = self.get(urllib.parse.urlsplit(location).path)
        self.assertEqual((200, "audio/mpeg"), (status, headers["Content-Type"]))
        self.assertEqual([str(len(audio))] * 2,
                         [song.findtext("file_size"), headers["Content-Length"]])
        artist = self.xml("/app/ws/car-artist?id=7")
        self.assertEqual(["周小晴", ""], [artist.findtext("artist_name"), artist.findtext("pic_url3") or ""])
        self.assertIn("。\r\n\r\n\r\n\r\n代表作", artist.findtext("artist_desc"))
        self.xml("/app/ws/song-detail?id=999", status=404)

    def test_promotion_pages_wrap_around_the_sort(self):
        pages = [[e.findtext("list_id") for e in
                  self.xml("/app/ws/album-promotions?sort_id=10&page=%d" % p).iter("list")]
                 for p in (1, 2, 3)]
        self.assertEqual([["467", "466", "465", "464", "463", "461", "459", "458"],
                          ["456", "462", "460", "457", "467", "466", "465", "464"],
                          ["463", "461", "459", "458", "456", "462", "460", "457"]], pages)
        self.assertIsNone(self.xml("/app/ws/album-promotions?sort_id=77&page=1").find("sort"))

    def test_update_description_and_files(self):
        update = self.xml("/daruruvidev/update.xml")
        self.assertEqual("1.0.16.0", update.findtext("version"))
        self.assertEqual(200, self.get(urllib.parse.urlsplit(update.findtext("url")).path)[0])
        magic = {"/cover/album-456.jpg": b"\xff\xd8\xff", "/cover/album-457.png": b"\x89PNG",
                 "/audio/123.mp3": b"\xff\xfb"}
        for path, start in magic.items():
            status, _, data = self.get(path)
            self.assertEqual(200, status)
            self.assertTrue(data.startswith(start) or data.startswith(b"ID3"), path)
        self.assertEqual(404, self.get("/cover/none.jpg")[0])


if __name__ == "__main__":
    unittest.main()
