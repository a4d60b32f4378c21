"""The web API's shared credentials and its query-signing rule.

The program signs each method call as: every parameter of the call plus api_key, method and
call_id, the first value of a repeated name kept, sorted byte-wise by name, each name directly
followed by its value, the shared secret appended, MD5 in lower-case hex. The query carries the
same values percent-encoded, so the server decodes %XX (and only that: "+" stays "+") before
checking.
"""

import hashlib

# The program holds the same two values; they are the only place the stand-in names them.
API_KEY = "7d41c0e9b3f2a65817ce04d9a8b36f2c"
API_SECRET = "e5b80a3fd19c27466f0b8d2ec4a1957b"

# Names that travel in a signed query without being part of the signature.
UNSIGNED = (b"api_sig", b"access_token")


def percent_decode(raw):
    """Turns each %XX (either case) into its byte; everything else, "+" included, stays."""
    out = bytearray()
    i = 0
    while i < len(raw):
        c = raw[i]
        if c == 0x25 and _is_hex(raw[i + 1:i + 3]):
            out.append(int(raw[i + 1:i + 3], 16))
            i += 3
        else:
            out.append(c)
            i += 1
    return bytes(out)


def _is_hex(pair):
    return len(pair) == 2 and all(ch in b"0123456789abcdefABCDEF" for ch in pair)


def percent_encode(raw):
    """The program's encoder: bytes of 0x80 and above as upper-case %XX, a space as %20, an
    apostrophe as %27, every other byte as it is."""
    out = bytearray()
    for c in raw:
        if c >= 0x80 or c in (0x20, 0x27):
            out += b"%%%02X" % c
        else:
            out.append(c)
    return bytes(out)


def split_query(query):
    """The query as (name, value) byte pairs in their order, decoded. A pair without "=" has an
    empty value."""
    if isinstance(query, str):
        query = query.encode("latin-1")
    pairs = []
    for part in query.split(b"&"):
        if not part:
            continue
        name, _, value = part.partition(b"=")
        pairs.append((percent_decode(name), percent_decode(value)))
    return pairs


def first_values(pairs):
    """A dict of each name's first value, as both sides of the exchange read repeated names."""
    seen = {}
    for name, value in pairs:
        seen.setdefault(name, value)
    return seen


def signature(pairs, secret=API_SECRET):
    """api_sig over the given (name, value) pairs (bytes), unsigned names left out."""
    values = first_values((n, v) for n, v in pairs if n not in UNSIGNED)
    text = b"".join(name + values[name] for name in sorted(values))
    return hashlib.md5(text + secret.encode("ascii")).hexdigest()


def signed_query(method, params, call_id, key=API_KEY, secret=API_SECRET):
    """The query the program sends for a method call (without access_token): the caller's
    parameters in order, then api_key, method, call_id and api_sig. Used by the stand-in's own
    tests and listing page to show a valid call."""
    enc = [(percent_encode(_b(n)), percent_encode(_b(v))) for n, v in params]
    tail = [(b"api_key", _b(key)), (b"method", _b(method)), (b"call_id", _b(str(call_id)))]
    pairs = [(_b(n), _b(v)) for n, v in params] + tail
    text = b"&".join(n + b"=" + v for n, v in enc + tail)
    return (text + b"&api_sig=" + signature(pairs, secret).encode("ascii")).decode("latin-1")


def _b(text):
    return text if isinstance(text, bytes) else text.encode("utf-8")


def md5_hex(text):
    """The password digest the program sends: MD5 of the UTF-8 text, lower-case hex."""
    return hashlib.md5(_b(text)).hexdigest()
