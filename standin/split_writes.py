"""Writing a reply in several pieces, so that the program's reader meets it split across reads
the way a slow or fragmented network delivers it."""

# How long one piece may wait for a slow reader to make room. The connection's short poll
# timeout is for reads; a large body to a reader taking small pieces must not be cut off by it.
SEND_SECONDS = 60


def split_points(rule, total, head_len=0):
    """Offsets at which to split `total` bytes: "split_at" as given, or "pieces" equal parts of
    what follows the first `head_len` bytes (the head travels with the first part)."""
    if "split_at" in rule:
        return sorted(c for c in set(rule["split_at"]) if 0 < c < total)
    pieces = rule.get("pieces", 1)
    rest = total - head_len
    if pieces <= 1 or rest <= 0:
        return []
    step = -(-rest // pieces)
    return [head_len + step * k for k in range(1, pieces) if head_len + step * k < total]


def send_in_pieces(sock, data, cuts, pause, stop):
    """sendall of each piece with a pause between them (TCP_NODELAY makes them separate
    segments). `stop` is an Event that cuts the pauses short."""
    pos = 0
    poll = sock.gettimeout()
    sock.settimeout(SEND_SECONDS)
    try:
        for cut in list(cuts) + [len(data)]:
            sock.sendall(data[pos:cut])
            pos = cut
            if pos < len(data) and pause > 0:
                stop.wait(pause)
    finally:
        sock.settimeout(poll)
