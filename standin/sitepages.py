"""Files and pages of the site: audio, covers, lyric files, the update description, the pages
the program opens in a browser, and at "/" a listing of the whole catalogue for people."""

import html
import re

from signing import API_KEY, API_SECRET, md5_hex

HTML = "text/html; charset=utf-8"
TYPES = {".mp3": "audio/mpeg", ".jpg": "image/jpeg", ".png": "image/png"}
UPDATE_PATH = "/daruruvidev/update.xml"


class Site:
    def __init__(self, catalogue, media, lyrics, records, ports):
        self.cat = catalogue
        self.media = media
        self.lyrics = lyrics
        self.records = records
        self.ports = ports  # {"http": n, "login": m}

    def handle(self, request):
        path = request.path
        if path == "/":
            return 200, HTML, self.listing()
        if path == UPDATE_PATH:
            return 200, "text/xml; charset=utf-8", self.records.update_xml()
        if path in self.media:
            kind = TYPES.get(path[path.rfind("."):], "application/octet-stream")
            with open(self.media[path].path, "rb") as f:
                return 200, kind, f.read()
        if path.startswith("/lyric/"):
            data = self.lyrics.read(path)
            if data is not None:
                return 200, "text/plain; charset=utf-8", data
        page = self._page(path)
        if page is not None:
            return 200, HTML, page
        return 404, "text/plain; charset=utf-8", b"not found\n"

    # ----- pages the program opens in a browser -----

    def _page(self, path):
        pages = dict(self.cat.site["pages"])
        pages[self.cat.update["url"]] = "新版本下载"
        if path in pages:
            return _html(pages[path], "<p>%s</p>" % _e(pages[path]))
        m = re.fullmatch(r"/(song|album)/(\d+)", path)
        if m:
            table = self.cat.songs if m.group(1) == "song" else self.cat.albums
            item = table.get(int(m.group(2)))
            if item:
                name = item.get("song_name") or item.get("album_name")
                return _html(name, "<p>%s %s</p>" % (m.group(1), _e(name)))
        return None

    # ----- the listing -----

    def _paste(self, kind, ident):
        return "http://%s/%s/%d" % (self.cat.site["page_host"], kind, ident)

    def listing(self):
        cat, rec = self.cat, self.records
        out = ["<h1>Stand-in site</h1>",
               "<p>HTTP port %d, login port %d. Web API key <code>%s</code>, shared secret "
               "<code>%s</code>.</p>" % (self.ports["http"], self.ports["login"], API_KEY,
                                         API_SECRET),
               '<p>Update description: <a href="%s">%s</a></p>' % (UPDATE_PATH, UPDATE_PATH)]
        out.append("<h2>Accounts</h2>")
        out.append(_table(["user", "password", "MD5 digest sent", "uid"],
                          [[_e(a["user"]), _e(a["password"]), md5_hex(a["password"]),
                            a["uid"]] for a in cat.accounts]))
        out.append("<h2>Songs</h2>")
        rows = []
        for song in cat.songs.values():
            lyric = self.lyrics.url_path(song)
            rows.append([
                song["song_id"], _e(song["song_name"]),
                _e(cat.albums[song["album_id"]]["album_name"]),
                _e(cat.artists[song["artist_id"]]["artist_name"]), song["seconds"],
                _link(cat.audio_path(song), "mp3"),
                _link(lyric, "lrc") if lyric else ("locked" if song.get("lyric_locked") else ""),
                "<code>%s</code>" % self._paste("song", song["song_id"])])
        out.append(_table(["id", "name", "album", "artist", "seconds", "audio", "lyric",
                           "address to paste"], rows))
        out.append("<h2>Albums</h2>")
        rows = []
        for album in cat.albums.values():
            cover = cat.cover_path(album["cover"])
            rows.append([
                '<img src="%s" width="60" height="60" alt="">' % _e(cover), album["album_id"],
                _e(album["album_name"]), _e(cat.artists[album["artist_id"]]["artist_name"]),
                ", ".join(str(s) for s in album["songs"]),
                "<code>%s</code>" % self._paste("album", album["album_id"])])
        out.append(_table(["cover", "id", "name", "artist", "songs", "address to paste"], rows))
        out.append("<h2>Radio types</h2><ul>")
        for rtype in cat.radio:
            out.append("<li>%d %s<ul>" % (rtype["type_id"], _e(rtype["type_name"])))
            for sort in rtype["sorts"]:
                names = []
                for entry in sort["lists"]:
                    if "album" in entry:
                        album = cat.albums[entry["album"]]
                        names.append("%d %s" % (album["album_id"], _e(album["album_name"])))
                    else:
                        names.append("%d %s" % (entry["list_id"], _e(entry["list_name"])))
                out.append("<li>sort %d %s: %s</li>" % (sort["sort_id"], _e(sort["sort_name"]),
                                                        "; ".join(names)))
            out.append("</ul></li>")
        out.append("</ul><h2>Artists</h2>")
        out.append(_table(["id", "name", "location", "pictures"], [
            [a["artist_id"], _e(a["artist_name"]), _e(a["location"]),
             " ".join(_link(cat.cover_path(p), p) for p in a["pictures"])]
            for a in cat.artists.values()]))
        out.append("<h2>Web service</h2><ul>%s</ul>" % "".join(
            "<li>%s</li>" % _link(p, p) for p in (
                "/app/ws/car-radios", "/app/ws/car-radiosongs?id=900&type=1",
                "/app/ws/car-artist?id=7", "/app/ws/album-promotions?sort_id=10&page=2",
                "/app/ws/song-detail?id=123")))
        return _html("Stand-in site", "\n".join(out))


def _e(text):
    return html.escape(str(text))


def _link(path, text):
    return '<a href="%s">%s</a>' % (_e(path), _e(text))


def _table(heads, rows):
    head = "".join("<th>%s</th>" % h for h in heads)
    body = "".join("<tr>%s</tr>" % "".join("<td>%s</td>" % c for c in row) for row in rows)
    return '<table border="1" cellpadding="4"><tr>%s</tr>%s</table>' % (head, body)


def _html(title, body):
    return ('<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>%s</title></head>'
            "<body>%s</body></html>\n" % (_e(title), body)).encode("utf-8")
