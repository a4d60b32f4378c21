"""The web service: the "/app/ws/..." GET requests of the music station, answered in XML."""

import urllib.parse

XML = "text/xml; charset=utf-8"


class WebService:
    PREFIX = "/app/ws/"

    def __init__(self, catalogue, records):
        self.cat = catalogue
        self.records = records

    def handles(self, path):
        return path.startswith(self.PREFIX)

    def handle(self, request):
        query = dict(urllib.parse.parse_qsl(request.query, keep_blank_values=True))
        name = request.path[len(self.PREFIX):]
        try:
            if name == "car-radios":
                return 200, XML, self.records.radio_types_xml()
            if name == "car-radiosongs":
                return 200, XML, self.records.radio_songs_xml(_int(query, "id"),
                                                              _int(query, "type"))
            if name == "album-promotions":
                return 200, XML, self.records.promotions_xml(_int(query, "sort_id"),
                                                             _int(query, "page"))
            if name == "car-artist":
                artist = self.cat.artists.get(_int(query, "id"))
                if artist is None:
                    return 404, XML, self.records.error_xml("artist not found")
                return 200, XML, self.records.artist_xml(artist)
            if name == "song-detail":
                song = self.cat.songs.get(_int(query, "id"))
                if song is None:
                    return 404, XML, self.records.error_xml("song not found")
                return 200, XML, self.records.song_xml(song)
        except ValueError as e:
            return 400, XML, self.records.error_xml(str(e))
        return 404, XML, self.records.error_xml("no such service")


def _int(query, name):
    try:
        return int(query[name])
    except (KeyError, ValueError):
        raise ValueError("parameter %s missing or not a number" % name)
