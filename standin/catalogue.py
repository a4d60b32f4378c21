"""The stand-in's catalogue: accounts, artists, albums, songs, covers, radio types and the update
description, read from catalogue.json and checked for references that lead nowhere."""

import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_FILE = os.path.join(HERE, "catalogue.json")


class CatalogueError(Exception):
    pass


class Catalogue:
    def __init__(self, path=DEFAULT_FILE):
        with open(path, encoding="utf-8") as f:
            raw = json.load(f)
        self.site = raw["site"]
        self.accounts = raw["accounts"]
        self.artists = _by_id(raw["artists"], "artist_id")
        self.albums = _by_id(raw["albums"], "album_id")
        self.songs = _by_id(raw["songs"], "song_id")
        self.covers = raw["covers"]
        self.radio = raw["radio"]
        self.promotion_page_size = raw["promotion_page_size"]
        self.update = raw["update"]
        self._check()

    def _check(self):
        def need(table, key, what):
            if key not in table:
                raise CatalogueError("%s refers to missing %r" % (what, key))
        for song in self.songs.values():
            need(self.albums, song["album_id"], "song %d" % song["song_id"])
            need(self.artists, song["artist_id"], "song %d" % song["song_id"])
        for album in self.albums.values():
            need(self.artists, album["artist_id"], "album %d" % album["album_id"])
            for name in (album["cover"], album["small_cover"]):
                need(self.covers, name, "album %d" % album["album_id"])
            for song_id in album["songs"]:
                need(self.songs, song_id, "album %d" % album["album_id"])
        for artist in self.artists.values():
            for name in artist["pictures"]:
                need(self.covers, name, "artist %d" % artist["artist_id"])
        for rtype in self.radio:
            for sort in rtype["sorts"]:
                for entry in sort["lists"]:
                    if "album" in entry:
                        need(self.albums, entry["album"], "sort %d" % sort["sort_id"])
                    else:
                        for song_id in entry["songs"]:
                            need(self.songs, song_id, "list %d" % entry["list_id"])
                        for name in (entry["cover"], entry["small_cover"]):
                            need(self.covers, name, "list %d" % entry["list_id"])

    # Where each kind of file lives on the stand-in's HTTP port.
    @staticmethod
    def audio_path(song):
        return "/audio/%d.mp3" % song["song_id"]

    @staticmethod
    def cover_path(name):
        return "/cover/" + name

    @staticmethod
    def lyric_path(song_id):
        return "/lyric/%d.lrc" % song_id

    def lyric_bytes(self, song):
        """The song's own lyric file (UTF-8, CR LF lines), or None when it has none."""
        lines = song.get("lyric")
        return None if lines is None else ("\r\n".join(lines) + "\r\n").encode("utf-8")

    def account_by_name(self, name):
        """The account whose user name has these bytes in UTF-8 (the socket login) or in GBK
        (the password grant, which sends the program's ANSI code page)."""
        for account in self.accounts:
            user = account["user"]
            if name in (user.encode("utf-8"), user.encode("gbk")):
                return account
        return None

    def lists_of_sort(self, sort_id):
        """(type, sort, entries) of a sort id, or None."""
        for rtype in self.radio:
            for sort in rtype["sorts"]:
                if sort["sort_id"] == sort_id:
                    return rtype, sort, sort["lists"]
        return None

    def radio_list(self, list_id, type_id):
        """The songs of a radio list: an album's songs for the album type, else the list's."""
        for rtype in self.radio:
            if rtype["type_id"] != type_id:
                continue
            for sort in rtype["sorts"]:
                for entry in sort["lists"]:
                    if entry.get("album") == list_id:
                        return self.albums[list_id]["songs"]
                    if entry.get("list_id") == list_id:
                        return entry["songs"]
        return None


def _by_id(items, key):
    table = {}
    for item in items:
        if item[key] in table:
            raise CatalogueError("%s %r appears twice" % (key, item[key]))
        table[item[key]] = item
    return table
