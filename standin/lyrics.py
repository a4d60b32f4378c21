"""Lyric files: the catalogue's own, and the ones uploaded since the last reset, which replace a
song's lyric address in every later reply."""

import os
import shutil
import threading

UPLOAD_PREFIX = "/lyric/upload/"


class LyricStore:
    def __init__(self, catalogue, upload_dir):
        self._catalogue = catalogue
        self._dir = upload_dir
        self._lock = threading.Lock()
        self._files = {}   # url path of an upload -> file on disk
        self._latest = {}  # song id -> url path of its newest upload
        self._count = 0
        os.makedirs(upload_dir, exist_ok=True)

    def url_path(self, song):
        """Path of the song's current lyric file; empty when it has none."""
        with self._lock:
            latest = self._latest.get(song["song_id"])
        if latest:
            return latest
        return self._catalogue.lyric_path(song["song_id"]) if song.get("lyric") else ""

    def add(self, song_id, data):
        """Keeps an uploaded file; returns the url path it is served at."""
        with self._lock:
            self._count += 1
            name = "%d-%d.lrc" % (song_id, self._count)
            disk = os.path.join(self._dir, name)
            with open(disk, "wb") as f:
                f.write(data)
            path = UPLOAD_PREFIX + name
            self._files[path] = disk
            self._latest[song_id] = path
            return path

    def read(self, path):
        """The bytes of the lyric file at a url path, or None."""
        with self._lock:
            disk = self._files.get(path)
        if disk:
            with open(disk, "rb") as f:
                return f.read()
        for song in self._catalogue.songs.values():
            if path == self._catalogue.lyric_path(song["song_id"]):
                return self._catalogue.lyric_bytes(song)
        return None

    def reset(self):
        with self._lock:
            for disk in self._files.values():
                if os.path.exists(disk):
                    os.unlink(disk)
            self._files.clear()
            self._latest.clear()
            self._count = 0

    def remove_all(self):
        self.reset()
        shutil.rmtree(self._dir, ignore_errors=True)
