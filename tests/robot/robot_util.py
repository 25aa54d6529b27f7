"""What the robot's tests share: a robot started on a fresh data folder, and uploads."""
import os
import re
import subprocess
import time
import urllib.error
import urllib.parse
import urllib.request
import uuid

PASSWORD = "organiser-secret-1"

failures = []


def check(ok, what):
    print(("ok:   " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures.append(what)


class Robot:
    """stats-robot on 127.0.0.1 and a port of its own, with its data in `data`."""

    def __init__(self, program, data, *extra):
        os.makedirs(data, exist_ok=True)
        pw = os.path.join(data, "..", os.path.basename(data) + ".password")
        with open(pw, "w") as f:
            f.write(PASSWORD + "\n")
        self.out = open(os.path.join(data, "..", os.path.basename(data) + ".out"), "a+")
        self.proc = subprocess.Popen([program, "--data", data, "--listen", "127.0.0.1:0",
                                      "--password-file", pw, *extra],
                                     stdout=subprocess.PIPE, stderr=self.out, text=True)
        line = self.proc.stdout.readline()
        m = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
        if not m:
            self.proc.kill()
            raise RuntimeError("the robot did not start: " + line)
        self.url = "http://127.0.0.1:" + m.group(1)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def kill(self):
        self.proc.kill()
        self.proc.wait()


def multipart(fields, files):
    """A multipart/form-data body: fields {name: text}, files {name: (filename, bytes)}."""
    boundary = uuid.uuid4().hex
    parts = []
    for name, value in fields.items():
        parts.append(f'--{boundary}\r\nContent-Disposition: form-data; name="{name}"\r\n\r\n'
                     .encode() + value.encode() + b"\r\n")
    for name, (filename, data) in files.items():
        parts.append(f'--{boundary}\r\nContent-Disposition: form-data; name="{name}"; '
                     f'filename="{filename}"\r\nContent-Type: application/octet-stream\r\n\r\n'
                     .encode() + data + b"\r\n")
    parts.append(f"--{boundary}--\r\n".encode())
    return b"".join(parts), "multipart/form-data; boundary=" + boundary


def upload(url, data, email="entrant@example.org", filename="log.cbr", timeout=30):
    """(status, page) of an upload of `data` (bytes) as a file."""
    body, ctype = multipart({"email": email}, {"log": (filename, data)})
    req = urllib.request.Request(url + "/upload", data=body, headers={"Content-Type": ctype})
    try:
        with urllib.request.urlopen(req, timeout=timeout) as r:
            return r.status, r.read().decode("utf-8", "replace")
    except urllib.error.HTTPError as e:
        return e.code, e.read().decode("utf-8", "replace")


def receipt_of(page):
    m = re.search(r'id="receipt">([A-Z0-9-]+)<', page)
    return m.group(1) if m else None


def post(url, fields, cookie=None, timeout=30):
    data = urllib.parse.urlencode(fields).encode()
    req = urllib.request.Request(url, data=data)
    if cookie:
        req.add_header("Cookie", cookie)
    try:
        with urllib.request.urlopen(req, timeout=timeout) as r:
            return r.status, r.read().decode("utf-8", "replace")
    except urllib.error.HTTPError as e:
        return e.code, e.read().decode("utf-8", "replace")


def cabrillo(call, qsos, seed=0, claimed=None):
    """A small valid log of `call` with `qsos` lines."""
    lines = ["START-OF-LOG: 3.0", "CONTEST: SOLSTICE-RACE", f"CALLSIGN: {call}",
             "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-MODE: CW", "CATEGORY-BAND: ALL"]
    if claimed is not None:
        lines.append(f"CLAIMED-SCORE: {claimed}")
    bands = [(3520, "80m"), (7020, "40m"), (14020, "20m"), (21020, "15m"), (28020, "10m")]
    provinces = ["M", "B", "V", "SE", "Z", "BI", "PM", "GC"]
    for i in range(qsos):
        freq = bands[(i + seed) % len(bands)][0]
        minute = 12 * 60 + i * 2
        hh, mm = (minute // 60) % 24, minute % 60
        day = 20 + minute // 1440
        worked = f"EA{(i + seed) % 9 + 1}{chr(65 + i % 26)}{chr(65 + (i // 26) % 26)}"
        lines.append(f"QSO: {freq:5d} CW 2026-06-{day:02d} {hh:02d}{mm:02d} {call:<13} 599 "
                     f"{i + 1:03d}  {worked:<13} 599 {provinces[i % len(provinces)]}")
    lines.append("END-OF-LOG:")
    return ("\r\n".join(lines) + "\r\n").encode()
