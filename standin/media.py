"""Real audio and picture files for the catalogue, made once with Debian's tools and cached.

Each file's name in the cache carries a digest of what it was made from, so a changed catalogue
entry makes a new file instead of reusing a stale one. Files are written under a temporary name
and renamed, so stand-ins started side by side share the cache safely.
"""

import hashlib
import os
import shutil
import subprocess
import tempfile

# Part of every cache key: bump it when the way files are made changes.
RECIPE = "1"

# Debian's own tools come first: other copies on PATH may behave differently.
TOOL_PATH = "/usr/bin:/bin:" + os.environ.get("PATH", "")


class MediaError(Exception):
    pass


def _tool(name):
    found = shutil.which(name, path=TOOL_PATH)
    if not found:
        raise MediaError("%s is missing: run scripts/setup.sh (it installs lame, sox and "
                         "imagemagick)" % name)
    return found


def _run(argv, timeout=120):
    try:
        done = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout)
    except subprocess.TimeoutExpired as e:
        raise MediaError("%s took longer than %d s" % (argv[0], timeout)) from e
    if done.returncode != 0:
        raise MediaError("%s failed: %s" % (" ".join(argv), done.stderr.decode(errors="replace")))


def _key(*parts):
    return hashlib.sha1(repr((RECIPE,) + parts).encode()).hexdigest()[:12]


def _make(cache_dir, name, key, build):
    """The cached file for (name, key), built by build(tmp_path) when missing."""
    stem, ext = os.path.splitext(name)
    final = os.path.join(cache_dir, "%s-%s%s" % (stem, key, ext))
    if os.path.isfile(final):
        return final
    fd, tmp = tempfile.mkstemp(dir=cache_dir, prefix=".tmp-", suffix=ext)
    os.close(fd)
    try:
        build(tmp)
        if os.path.getsize(tmp) == 0:
            raise MediaError("%s came out empty" % name)
        os.chmod(tmp, 0o644)
        os.replace(tmp, final)
    finally:
        if os.path.exists(tmp):
            os.unlink(tmp)
    return final


def make_mp3(cache_dir, name, seconds, tone):
    """A stereo MP3 of a sine tone with a softer fifth above it, 128 kbit/s."""
    def build(out):
        wav = out + ".wav"
        try:
            _run([_tool("sox"), "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", wav,
                  "synth", str(seconds), "sine", str(tone), "sine", str(tone * 3 // 2),
                  "remix", "1v0.6,2v0.3", "1v0.3,2v0.6", "fade", "0.2", str(seconds), "0.5"])
            _run([_tool("lame"), "--quiet", "-b", "128", wav, out])
        finally:
            if os.path.exists(wav):
                os.unlink(wav)
    return _make(cache_dir, name, _key("mp3", seconds, tone), build)


def make_picture(cache_dir, name, size, colors):
    """A JPEG or PNG (by the name's extension) holding a vertical gradient."""
    width, height = size
    first, second = colors

    def build(out):
        argv = [_tool("convert"), "-size", "%dx%d" % (width, height),
                "gradient:%s-%s" % (first, second)]
        if out.endswith(".jpg"):
            argv += ["-quality", "85"]
        else:
            out = "PNG24:" + out  # 8 bits per sample: every decoder reads it
        _run(argv + ["-depth", "8", out])
    return _make(cache_dir, name, _key("picture", width, height, first, second), build)


class MediaFile:
    def __init__(self, path):
        self.path = path
        with open(path, "rb") as f:
            data = f.read()
        self.size = len(data)
        self.md5 = hashlib.md5(data).hexdigest()


def prepare(catalogue, cache_dir):
    """Makes whatever the catalogue needs; returns {url path: MediaFile}."""
    media_dir = os.path.join(cache_dir, "media")
    os.makedirs(media_dir, exist_ok=True)
    files = {}
    for song in catalogue.songs.values():
        path = make_mp3(media_dir, "%d.mp3" % song["song_id"], song["seconds"], song["tone"])
        files[catalogue.audio_path(song)] = MediaFile(path)
    for name, look in catalogue.covers.items():
        path = make_picture(media_dir, name, look["size"], look["colors"])
        files[catalogue.cover_path(name)] = MediaFile(path)
    return files
