#!/usr/bin/env python3
"""Starts and stops a background stand-in for a test run (the ctest fixture "standin").

    python3 standin/fixture.py start STATE_DIR [STANDIN_OPTION...]   # free ports; writes
                                                   # STATE_DIR/ports.json
    python3 standin/fixture.py stop STATE_DIR

ports.json holds {"http": N, "login": M, "pid": P, "base_url": "http://127.0.0.1:N"}. The
stand-in's output goes to STATE_DIR/standin.log, never to the caller's pipes, so the test
runner does not wait for it. A stand-in left over from an earlier run is stopped first.
"""

import json
import os
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
START_SECONDS = 180  # the first start makes the audio and pictures
STOP_SECONDS = 10


def _ours(pid):
    """True while pid is a live (not zombie) stand-in process."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                return False
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return b"standin.py" in f.read()
    except (OSError, IndexError):
        return False


def stop(state_dir):
    ports_file = os.path.join(state_dir, "ports.json")
    try:
        with open(ports_file) as f:
            pid = json.load(f)["pid"]
    except (OSError, ValueError, KeyError):
        return 0
    if _ours(pid):
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + STOP_SECONDS
        while _ours(pid) and time.monotonic() < deadline:
            time.sleep(0.1)
        if _ours(pid):
            print("standin did not stop within %d s; killing it" % STOP_SECONDS)
            os.kill(pid, signal.SIGKILL)
    os.unlink(ports_file)
    return 0


def start(state_dir, options=()):
    os.makedirs(state_dir, exist_ok=True)
    stop(state_dir)
    log_path = os.path.join(state_dir, "standin.log")
    with open(log_path, "wb") as log:
        proc = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "standin.py"), "--http-port", "0",
             "--login-port", "0", *options],
            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
            close_fds=True, start_new_session=True)
    deadline = time.monotonic() + START_SECONDS
    while time.monotonic() < deadline and proc.poll() is None:
        with open(log_path, "rb") as f:
            for line in f:
                if line.startswith(b"ready "):
                    fields = dict(p.split("=", 1) for p in line.decode().split()[1:])
                    ports = {"http": int(fields["http"]), "login": int(fields["login"]),
                             "pid": proc.pid,
                             "base_url": "http://127.0.0.1:%s" % fields["http"]}
                    tmp = os.path.join(state_dir, "ports.json.tmp")
                    with open(tmp, "w") as out:
                        json.dump(ports, out)
                    os.replace(tmp, os.path.join(state_dir, "ports.json"))
                    print("standin started: %s" % json.dumps(ports))
                    return 0
        time.sleep(0.1)
    if proc.poll() is None:
        proc.kill()
    with open(log_path, errors="replace") as f:
        print("standin did not get ready:\n" + f.read())
    return 1


def main(argv):
    if len(argv) < 3 or argv[1] not in ("start", "stop") or (argv[1] == "stop" and len(argv) > 3):
        print(__doc__.strip())
        return 2
    return start(argv[2], argv[3:]) if argv[1] == "start" else stop(argv[2])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
