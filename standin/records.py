"""The catalogue as the site's replies carry it: JSON records of the web API and XML element
trees of the web service. Every address in them points back at the stand-in itself."""

import urllib.parse
import xml.etree.ElementTree as ET


class Records:
    def __init__(self, catalogue, media, lyrics, base_url):
        self.cat = catalogue
        self.media = media      # url path -> MediaFile
        self.lyrics = lyrics    # LyricStore
        self.base = base_url    # "http://127.0.0.1:PORT"

    def url(self, path):
        return self.base + path if path else ""

    def _cover_url(self, name):
        return self.url(self.cat.cover_path(name))

    def _audio(self, song):
        return self.media[self.cat.audio_path(song)]

    def lyric_url(self, song):
        return self.url(self.lyrics.url_path(song))

    # ----- web API (JSON) -----

    def song_json(self, song):
        album = self.cat.albums[song["album_id"]]
        artist = self.cat.artists[song["artist_id"]]
        audio_url = self.url(self.cat.audio_path(song))
        lyric_url = self.lyric_url(song)
        pictures = artist["pictures"]
        record = {
            "song_id": song["song_id"], "song_name": song["song_name"],
            "album_id": album["album_id"], "album_name": album["album_name"],
            "artist_id": artist["artist_id"], "artist_name": artist["artist_name"],
            "lyric_text": "", "lyric": lyric_url, "lyric_trc": "", "lyric_karaok": "",
            "recommends": 0, "length": song["seconds"],
            "logo": self._cover_url(album["cover"]),
            "artist_logo": self._cover_url(pictures[0]) if pictures else "",
            "singers": artist["artist_name"], "track_url": audio_url,
            "play_counts": song["play_counts"], "play_seconds": song["seconds"],
            "album_logo": self._cover_url(album["small_cover"]), "lyric_file": lyric_url,
            "demo": 0, "level": "l", "quality": "l", "hash": self._audio(song).md5,
            "res_id": 10000 + song["song_id"], "default_resource_id": 10000 + song["song_id"],
            "cd_serial": 1, "track": song["track"], "rec_note": "",
            "title": song["song_name"], "name": song["song_name"], "favourite": False,
            "play_authority": 1, "flag": 0, "mv_id": "",
        }
        if song.get("audio_key") == "listen_file":
            # Some catalogue entries name their audio only under the older key.
            record["track_url"] = ""
            record["listen_file"] = audio_url
        return record

    def album_json(self, album):
        artist = self.cat.artists[album["artist_id"]]
        return {
            "album_id": album["album_id"], "album_name": album["album_name"],
            "artist_id": artist["artist_id"], "artist_name": artist["artist_name"],
            "song_count": len(album["songs"]), "cd_count": album["cd_count"],
            "play_count": album["play_count"], "collects": album["collects"],
            "is_check": album["is_check"], "is_play": album["is_play"],
            "logo": self._cover_url(album["cover"]), "description": album["description"],
            "language": album["language"], "sub_title": album["sub_title"],
            "songs": [self.song_json(self.cat.songs[s]) for s in album["songs"]],
        }

    # ----- web service (XML) -----

    def _list_fields(self, entry):
        if "album" in entry:
            album = self.cat.albums[entry["album"]]
            return [("list_id", album["album_id"]), ("list_name", album["album_name"]),
                    ("creator_id", album["creator_id"]), ("create_time", album["create_time"]),
                    ("cover_url", self._cover_url(album["cover"])),
                    ("small_cover_url", self._cover_url(album["small_cover"])),
                    ("desc_text", album["description"]), ("all_songs", len(album["songs"]))]
        return [("list_id", entry["list_id"]), ("list_name", entry["list_name"]),
                ("creator_id", entry["creator_id"]), ("create_time", entry["create_time"]),
                ("cover_url", self._cover_url(entry["cover"])),
                ("small_cover_url", self._cover_url(entry["small_cover"])),
                ("desc_text", entry["desc_text"]), ("all_songs", len(entry["songs"]))]

    def _song_fields(self, song):
        album = self.cat.albums[song["album_id"]]
        artist = self.cat.artists[song["artist_id"]]
        audio = self._audio(song)
        location = urllib.parse.quote(self.url(self.cat.audio_path(song)), safe="")
        return [("song_id", song["song_id"]), ("resource_id", 10000 + song["song_id"]),
                ("artist_id", artist["artist_id"]), ("album_id", album["album_id"]),
                ("track", song["track"]), ("disc_serial", 1),
                ("artist_name", artist["artist_name"]), ("album_name", album["album_name"]),
                ("song_name", song["song_name"]), ("real_artists", artist["artist_name"]),
                ("cover_url", self._cover_url(album["cover"])),
                ("lyric_url", self.lyric_url(song)), ("file_size", audio.size),
                ("content_size", audio.size), ("whole_hash", audio.md5),
                ("content_hash", audio.md5), ("song_count", len(album["songs"])),
                ("release_time", song["release_time"]),
                ("lyric_locked", song.get("lyric_locked", 0)), ("song_location", location)]

    def _sort_element(self, parent, sort, entries):
        el = ET.SubElement(parent, "sort")
        _children(el, [("sort_id", sort["sort_id"]), ("sort_name", sort["sort_name"])])
        for entry in entries:
            _children(ET.SubElement(el, "list"), self._list_fields(entry))

    def radio_types_xml(self):
        """Every type and sort with the first page of its lists: the pages after it come as
        album promotions."""
        root = ET.Element("types")
        for rtype in self.cat.radio:
            el = ET.SubElement(root, "type")
            _children(el, [("type_id", rtype["type_id"]), ("type_name", rtype["type_name"])])
            for sort in rtype["sorts"]:
                self._sort_element(el, sort, sort["lists"][:self.cat.promotion_page_size])
        return _document(root)

    def radio_songs_xml(self, list_id, type_id):
        root = ET.Element("songs")
        _children(root, [("type_id", type_id), ("list_id", list_id)])
        for song_id in self.cat.radio_list(list_id, type_id) or []:
            _children(ET.SubElement(root, "song"), self._song_fields(self.cat.songs[song_id]))
        return _document(root)

    def artist_xml(self, artist):
        albums = [a for a in self.cat.albums.values() if a["artist_id"] == artist["artist_id"]]
        fields = [("artist_id", artist["artist_id"]), ("album_count", len(albums)),
                  ("artist_name", artist["artist_name"]), ("artist_desc", artist["artist_desc"]),
                  ("location", artist["location"])]
        pictures = artist["pictures"]
        for n in range(5):
            url = self._cover_url(pictures[n]) if n < len(pictures) else ""
            fields.append(("pic_url%d" % (n + 1), url))
        root = ET.Element("artist")
        _children(root, fields)
        return _document(root)

    def promotions_xml(self, sort_id, page):
        """One page of a sort's promoted albums. Pages count from 1 (the one the radio types
        carry) and wrap around the sort's lists, so every page the program's pager can reach
        has something on it."""
        found = self.cat.lists_of_sort(sort_id)
        root = ET.Element("type")
        if not found:
            album_type = next((t for t in self.cat.radio if t["type_id"] == 2), None)
            if album_type:
                _children(root, [("type_id", 2), ("type_name", album_type["type_name"])])
            return _document(root)
        rtype, sort, entries = found
        _children(root, [("type_id", rtype["type_id"]), ("type_name", rtype["type_name"])])
        size = min(self.cat.promotion_page_size, len(entries))
        first = (max(page, 1) - 1) * size
        chosen = [entries[(first + i) % len(entries)] for i in range(size)]
        self._sort_element(root, sort, chosen)
        return _document(root)

    def song_xml(self, song):
        root = ET.Element("song")
        _children(root, self._song_fields(song))
        return _document(root)

    def update_xml(self):
        update = self.cat.update
        root = ET.Element("update")
        _children(root, [("version", update["version"]), ("url", self.url(update["url"])),
                         ("tip", update["tip"])])
        return _document(root)

    @staticmethod
    def error_xml(text):
        root = ET.Element("error")
        _children(root, [("message", text)])
        return _document(root)


# Line breaks inside a value travel as character references, as the site writes them: a raw
# CR would not survive an XML parser's line-end handling, nor a reader that folds white space.
_CR, _LF = "\ue00d", "\ue00a"


def _children(parent, fields):
    for name, value in fields:
        ET.SubElement(parent, name).text = str(value).replace("\r", _CR).replace("\n", _LF)


def _document(root):
    ET.indent(root)
    text = ET.tostring(root, encoding="unicode", xml_declaration=False)
    text = text.replace(_CR, "&#13;").replace(_LF, "&#10;")
    return b'<?xml version="1.0" encoding="utf-8"?>\n' + text.encode("utf-8") + b"\n"
