"""multipart/form-data bodies, as the transfer library posts a file."""

import re


class FormError(ValueError):
    pass


class Part:
    def __init__(self, headers, data):
        self.headers = headers  # [(name, value)] as sent
        self.data = data
        disposition = self.header("Content-Disposition") or ""
        self.name = _param(disposition, "name")
        self.filename = _param(disposition, "filename")
        self.content_type = self.header("Content-Type")

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None

    def summary(self):
        return {"name": self.name, "filename": self.filename,
                "content_type": self.content_type, "size": len(self.data)}


def _param(header, key):
    m = re.search(r'(?:^|;)\s*%s="([^"]*)"' % key, header)
    if m:
        return m.group(1)
    m = re.search(r'(?:^|;)\s*%s=([^;\s]*)' % key, header)
    return m.group(1) if m else None


def parse(content_type, body):
    """The parts of a multipart/form-data body; FormError when it is not one."""
    if not content_type or not content_type.lower().startswith("multipart/form-data"):
        raise FormError("not a multipart/form-data body")
    boundary = _param(content_type, "boundary")
    if not boundary:
        raise FormError("no boundary")
    delimiter = b"--" + boundary.encode("latin-1")
    pieces = body.split(delimiter)
    if len(pieces) < 3 or not pieces[-1].startswith(b"--"):
        raise FormError("no closing boundary")
    parts = []
    for piece in pieces[1:-1]:
        if not piece.startswith(b"\r\n") or not piece.endswith(b"\r\n"):
            raise FormError("a part is not framed by CR LF")
        head, sep, data = piece[2:-2].partition(b"\r\n\r\n")
        if not sep:
            raise FormError("a part has no header end")
        headers = []
        for line in head.split(b"\r\n"):
            name, colon, value = line.decode("latin-1").partition(":")
            if colon:
                headers.append((name.strip(), value.strip()))
        parts.append(Part(headers, data))
    return parts
