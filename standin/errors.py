"""The web API's error replies: an HTTP status and a body in the API's reply frame (status, err,
more, data). The same table serves the real checks and the scenarios that force an error."""

import json

API_ERRORS = {
    "invalid_api_key": (400, "Invalid API key"),
    "invalid_signature": (400, "Invalid signature"),
    "invalid_call_id": (400, "Invalid params call_id specified"),
    "invalid_method": (400, "Invalid method specified"),
    "missing_param": (400, "A parameter is missing"),
    "invalid_param": (400, "Invalid params specified"),
    "invalid_client": (401, "Invalid client_id"),
    "invalid_grant": (400, "Unsupported grant_type"),
    "bad_credentials": (401, "Invalid username or password"),
    "invalid_refresh_token": (400, "Invalid refresh token"),
    "refresh_token_expired": (400, "Refresh token has expired"),
    "no_refresh_token": (400, 'No "refresh_token" parameter found'),
    "no_access_token": (401, 'No "access_token" parameter found'),
    "invalid_access_token": (401, "Invalid access token"),
    "access_token_expired": (401, "Access token has expired"),
    "not_found": (404, "Not found"),
    "server_error": (500, "Internal server error"),
}


def frame(status, err="", data=None):
    """A reply in the API's frame as UTF-8 bytes."""
    reply = {"status": status, "err": err, "more": False}
    if data is not None:
        reply["data"] = data
    return json.dumps(reply, ensure_ascii=False).encode("utf-8")


class ApiError(Exception):
    """Raised by a handler to answer with an error of the table (or a free text)."""

    def __init__(self, name, text=None):
        status, err = API_ERRORS[name]
        super().__init__(text or err)
        self.status = status
        self.body = frame("failed", text or err)
