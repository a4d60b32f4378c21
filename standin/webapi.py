"""The web API: OAuth2 token grants, the time sync and the signed method calls under "/sdk",
answered in JSON. Checks are those a real service makes: the client id, the signature, the
call id's age and the access token of the upload; each failure answers with its error reply."""

import json
import threading
import time

import errors
import forms
from errors import ApiError
from signing import API_KEY, first_values, md5_hex, signature, split_query

CALL_ID_WINDOW = 3600      # seconds a call id may differ from the server's clock
ACCESS_SECONDS = 3600
REFRESH_SECONDS = 14 * 24 * 3600

# Failure texts of the upload (status "failed"); the program maps their leading numbers.
UPLOAD_NO_SONG = "101 Song not found"
UPLOAD_EMPTY = "102 The lyric file is empty"
UPLOAD_NO_FILE = '103 No "lyric" file in the form'
UPLOAD_LOCKED = "105 The lyric of this song is locked"


def _json(data):
    return 200, "application/json; charset=utf-8", json.dumps(
        data, ensure_ascii=False).encode("utf-8")


def _ok(data):
    return 200, "application/json; charset=utf-8", errors.frame("ok", "", data)


def _failed(err):
    return 200, "application/json; charset=utf-8", errors.frame("failed", err, {})


def _missing(name):
    return ApiError("missing_param", 'No "%s" parameter found' % name)


def _int_param(params, name):
    value = params.get(name.encode())
    if value is None:
        raise _missing(name)
    try:
        return int(value)
    except ValueError:
        raise ApiError("invalid_param", "Invalid params %s specified" % name)


class Tokens:
    """Issued token pairs. Tokens are numbered from 1 after each reset ("access_1",
    "refresh_1", ...) so that tests can name them; a refresh grant retires its refresh token."""

    def __init__(self, clock):
        self._clock = clock
        self._lock = threading.Lock()
        self.reset()

    def reset(self):
        with self._lock:
            self._count = 0
            self._access = {}   # token -> (uid, expiry)
            self._refresh = {}

    def issue(self, uid):
        with self._lock:
            self._count += 1
            now = self._clock()
            access, refresh = "access_%d" % self._count, "refresh_%d" % self._count
            self._access[access] = (uid, now + ACCESS_SECONDS)
            self._refresh[refresh] = (uid, now + REFRESH_SECONDS)
            return access, refresh

    def redeem_refresh(self, token):
        """The uid a refresh token stands for; it is retired. ApiError when unusable."""
        with self._lock:
            held = self._refresh.pop(token, None)
        if held is None:
            raise ApiError("invalid_refresh_token")
        if held[1] < self._clock():
            raise ApiError("refresh_token_expired")
        return held[0]

    def check_access(self, token):
        if not token:
            raise ApiError("no_access_token")
        with self._lock:
            held = self._access.get(token)
        if held is None:
            raise ApiError("invalid_access_token")
        if held[1] < self._clock():
            raise ApiError("access_token_expired")
        return held[0]


class WebApi:
    def __init__(self, catalogue, records, lyrics, clock=time.time):
        self.cat = catalogue
        self.records = records
        self.lyrics = lyrics
        self.clock = clock
        self.tokens = Tokens(clock)

    def reset(self):
        self.tokens.reset()

    def handles(self, path):
        return path in ("/api/oauth2/token", "/sdk/oauth2/token", "/index/get-callid",
                        "/sdk/index/get-callid", "/sdk")

    def handle(self, request):
        """(status, content type, body) of an API request; errors become their replies."""
        try:
            params = first_values(split_query(request.query))
            if request.path.endswith("/oauth2/token"):
                return self._token(params)
            if request.path.endswith("/index/get-callid"):
                self._client(params)
                return _ok(int(self.clock()))
            return self._method(request, split_query(request.query))
        except ApiError as e:
            return e.status, "application/json; charset=utf-8", e.body

    @staticmethod
    def _client(params):
        if params.get(b"client_id") != API_KEY.encode():
            raise ApiError("invalid_client")

    def _token(self, params):
        self._client(params)
        grant = params.get(b"grant_type")
        if grant == b"password":
            user = params.get(b"username")
            digest = params.get(b"password")
            if user is None or digest is None:
                raise _missing("username" if user is None else "password")
            account = self.cat.account_by_name(user)
            if not account or digest.decode("latin-1") != md5_hex(account["password"]):
                raise ApiError("bad_credentials")
            uid = account["uid"]
        elif grant == b"refresh_token":
            token = params.get(b"refresh_token")
            if not token:
                raise ApiError("no_refresh_token")
            uid = self.tokens.redeem_refresh(token.decode("latin-1"))
        else:
            raise ApiError("invalid_grant")
        access, refresh = self.tokens.issue(uid)
        return _json({"status": "ok", "err": "", "more": False, "access_token": access,
                      "refresh_token": refresh, "expires_in": ACCESS_SECONDS,
                      "token_type": "bearer", "scope": "all"})

    def _method(self, request, pairs):
        params = first_values(pairs)
        if params.get(b"api_key") != API_KEY.encode():
            raise ApiError("invalid_api_key")
        if params.get(b"api_sig", b"").decode("latin-1") != signature(pairs):
            raise ApiError("invalid_signature")
        try:
            call_id = int(params.get(b"call_id", b""))
        except ValueError:
            raise ApiError("invalid_call_id")
        if abs(call_id - self.clock()) > CALL_ID_WINDOW:
            raise ApiError("invalid_call_id")
        method = params.get(b"method", b"").decode("latin-1")
        if method == "Songs.getTrackDetail":
            song = self.cat.songs.get(_int_param(params, "id"))
            if song is None:
                raise ApiError("not_found", "Song not found")
            return _ok(self.records.song_json(song))
        if method == "Albums.detail":
            album = self.cat.albums.get(_int_param(params, "id"))
            if album is None:
                raise ApiError("not_found", "Album not found")
            return _ok(self.records.album_json(album))
        if method == "Songs.AddLyricFile":
            return self._upload(request, params)
        raise ApiError("invalid_method")

    def _upload(self, request, params):
        if request.method != "POST":
            raise ApiError("invalid_method", "Songs.AddLyricFile takes a POST")
        token = params.get(b"access_token")
        self.tokens.check_access(token.decode("latin-1") if token else "")
        song = self.cat.songs.get(_int_param(params, "song_id"))
        if song is None:
            return _failed(UPLOAD_NO_SONG)
        try:
            parts = forms.parse(request.header("Content-Type"), request.body)
        except forms.FormError:
            parts = []
        lyric = next((p for p in parts if p.name == "lyric"), None)
        if lyric is None:
            return _failed(UPLOAD_NO_FILE)
        if not lyric.data:
            return _failed(UPLOAD_EMPTY)
        if song.get("lyric_locked"):
            return _failed(UPLOAD_LOCKED)
        path = self.lyrics.add(song["song_id"], lyric.data)
        return _ok({"lyric": self.records.url(path)})
