#!/usr/bin/env python3
"""Captures the stand-in's replies once as the fuzzer's seed files (tests/fuzz/seeds/).

    python3 scripts/capture_fuzz_seeds.py

Starts a stand-in on free ports, asks it for every kind of reply the program parses, in the
framings and codings it can play, and writes each reply's bytes to the target's seed folder.
The seeds are committed; run this again only when the site's replies change.
"""

import json
import os
import socket
import struct
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "standin"))
import fixture  # noqa: E402
import signing  # noqa: E402

SEEDS = os.path.join(ROOT, "tests", "fuzz", "seeds")


def write(target, name, data):
    folder = os.path.join(SEEDS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def control(base, path, body=None):
    data = json.dumps(body).encode() if body is not None else b""
    req = urllib.request.Request(base + "/_control/" + path, data=data, method="POST")
    with urllib.request.urlopen(req, timeout=10) as reply:
        return reply.read()


def raw_get(port, path):
    """The whole reply to a GET written as the program writes it, head and framing included."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(("GET http://127.0.0.1:%d%s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n"
                   "Connection: close\r\n\r\n" % (port, path, port)).encode())
        s.settimeout(1.0)
        data = b""
        try:
            while True:
                piece = s.recv(65536)
                if not piece:
                    break
                data += piece
        except socket.timeout:
            pass
        return data


def body_of(reply):
    return reply.split(b"\r\n\r\n", 1)[1]


def main():
    state = tempfile.mkdtemp(prefix="fuzz-seeds-")
    fixture.start(state)
    try:
        with open(os.path.join(state, "ports.json")) as f:
            ports = json.load(f)
        base, http, login = ports["base_url"], ports["http"], ports["login"]
        control(base, "reset")

        # Web-service XML of every kind, and the update description.
        services = [
            (0, "/app/ws/car-radios"),
            (1, "/app/ws/car-radiosongs?id=900&type=1"),
            (2, "/app/ws/car-artist?id=7"),
            (3, "/app/ws/album-promotions?sort_id=10&page=1"),
            (5, "/app/ws/song-detail?id=123"),
        ]
        for kind, path in services:
            write("web_service_xml", "kind%d.xml" % kind, body_of(raw_get(http, path)))
        write("update_description", "update.xml",
              body_of(raw_get(http, "/daruruvidev/update.xml")))

        # The raw-socket replies in each framing and coding; their gzip bodies seed the inflate.
        plays = {
            "length": {},
            "chunked": {"framing": "chunked", "chunk_size": 200, "chunk_ext": ";x=1"},
            "close": {"framing": "close"},
            "both": {"framing": "both"},
            "gzip_length": {"encoding": "gzip"},
            "gzip_chunked": {"encoding": "gzip", "framing": "chunked", "chunk_size": 300},
            "lowercase": {"lowercase_headers": True},
        }
        for name, rule in plays.items():
            control(base, "scenario", {"http": dict(rule, match="/app/ws/")})
            reply = raw_get(http, "/app/ws/song-detail?id=124")
            write("http_reply", name + ".http", reply)
        for coding in ("gzip", "gzip-zlib", "deflate"):
            control(base, "scenario", {"http": {"match": "/app/ws/", "encoding": coding}})
            write("inflate", coding + ".bin", body_of(raw_get(http, "/app/ws/car-radios")))
        control(base, "reset")

        # Web-API JSON: track and album details, a grant, an upload result.
        def api(method, params):
            query = signing.signed_query(method, params, int(time.time()))
            return urllib.request.urlopen(base + "/sdk?" + query, timeout=10).read()
        write("json_records", "track_detail.json", api("Songs.getTrackDetail", [("id", "125")]))
        write("json_records", "album_detail.json", api("Albums.detail", [("id", "456")]))
        grant = urllib.request.urlopen(
            base + "/api/oauth2/token?grant_type=password&client_id=%s&username=editor@example.com"
            "&password=%s" % (signing.API_KEY, signing.md5_hex("lyrics123")), timeout=10).read()
        write("json_records", "grant.json", grant)
        token = json.loads(grant)["access_token"]
        boundary = "fuzzseed"
        form = ("--%s\r\nContent-Disposition: form-data; name=\"lyric\"; filename=\"a.lrc\"\r\n"
                "Content-Type: application/octet-stream\r\n\r\n[00:01.00]x\r\n--%s--\r\n"
                % (boundary, boundary)).encode()
        query = signing.signed_query("Songs.AddLyricFile", [("song_id", "124")], int(time.time()))
        req = urllib.request.Request(base + "/sdk?" + query + "&access_token=" + token, data=form,
                                     headers={"Content-Type":
                                              "multipart/form-data; boundary=" + boundary})
        write("json_records", "upload_result.json", urllib.request.urlopen(req, timeout=10).read())

        # Lyric files as the site serves them.
        for song in (123, 124, 200):
            write("lrc", "%d.lrc" % song, body_of(raw_get(http, "/lyric/%d.lrc" % song)))

        # The login reply to a good and to a bad password.
        for name, password in (("good", "lyrics123"), ("bad", "wrong")):
            user = b"editor@example.com"
            request = bytearray(169 + len(user))
            struct.pack_into("<III", request, 0, len(request), 2, 2)
            request[12:17] = b"logon"
            request[52:84] = signing.md5_hex(password).encode()
            request[168:168 + len(user)] = user
            with socket.create_connection(("127.0.0.1", login), timeout=10) as s:
                s.sendall(bytes(request))
                reply = b""
                while True:
                    piece = s.recv(4096)
                    if not piece:
                        break
                    reply += piece
            write("login_reply", name + ".bin", reply)
    finally:
        fixture.stop(state)
    return 0


if __name__ == "__main__":
    sys.exit(main())
