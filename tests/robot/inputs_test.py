#!/usr/bin/env python3
"""Hostile and odd requests to the robot over HTTP: uploads over the size limit (caught by
the robot and by the HTTP library), a file name made to climb folders and carry markup, no
log or no e-mail address, a login without its form's token, an upload after the deadline,
and a later upload of the same call replacing the earlier one on the public list.

Usage: inputs_test.py STATS_ROBOT WORK_DIR
"""
import os
import re
import shutil
import sys
import urllib.error
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from robot_util import (PASSWORD, Robot, cabrillo, check, failures, multipart,  # noqa: E402
                        post, receipt_of, upload)

LIMIT = 5 * 1024 * 1024


def raw_post(url, body, ctype):
    req = urllib.request.Request(url, data=body, headers={"Content-Type": ctype})
    try:
        with urllib.request.urlopen(req, timeout=30) as r:
            return r.status, r.read().decode("utf-8", "replace")
    except urllib.error.HTTPError as e:
        return e.code, e.read().decode("utf-8", "replace")
    except OSError as e:  # the server may close while a large body is still being sent
        return 0, str(e)


def main():
    program, work = sys.argv[1:3]
    shutil.rmtree(work, ignore_errors=True)
    robot = Robot(program, os.path.join(work, "data"), "--deadline", "2020-01-01 00:00")
    try:
        run(robot)
        check(robot.proc.poll() is None, "the robot still runs after every request")
    finally:
        robot.stop()
    check(set(os.listdir(os.path.join(work, "data"))) <= {"robot.sqlite", "robot.sqlite-wal",
                                                           "robot.sqlite-shm"},
          "nothing but the store in the data folder: " + ", ".join(os.listdir(os.path.join(work, "data"))))
    if failures:
        sys.exit(1)


def run(robot):
    url = robot.url
    # One byte over the limit: the robot's own check.
    status, page = upload(url, b"A" * (LIMIT + 1))
    check(status == 413 and "larger than 5 MB" in page, f"a log of 5 MB + 1 byte is refused ({status})")
    # Far over it: the HTTP library stops reading, the robot still answers with its message.
    body, ctype = multipart({"email": "a@example.org"}, {"log": ("big.log", b"B" * (LIMIT * 2))})
    status, page = raw_post(url + "/upload", body, ctype)
    check(status in (0, 413) and (status == 0 or "larger than 5 MB" in page),
          f"a body of 10 MB is refused with the message ({status})")
    # Exactly the limit is taken (and refused as no log, not for its size).
    status, page = upload(url, b"\n" * LIMIT)
    check(status == 400 and "No log was given" in page, f"5 MB of blank lines is no log ({status})")

    status, page = upload(url, b"", email="a@example.org")
    check(status == 400 and "No log was given" in page, "an empty upload is answered, not stored")
    status, page = upload(url, cabrillo("EA4ZZZ", 3), email="not-an-address<script>")
    check(status == 400 and "&lt;script&gt;" in page and "<script>" not in page,
          "a bad e-mail address is refused and shown escaped")

    evil = '../../../etc/passwd"><script>alert(1)</script>'
    status, page = upload(url, cabrillo("EA4ZZZ", 5, claimed=10), filename=evil)
    check(status == 200 and receipt_of(page) is not None, "a log with a hostile file name is taken")
    check("<script>alert" not in page and "&lt;script&gt;" in page, "the file name is escaped")
    check('id="late"' in page, "an upload after the deadline is marked late")

    # A later upload of the call replaces the earlier one on the public list.
    status, page = upload(url, cabrillo("EA4ZZZ", 9))
    check(status == 200, "a second upload of the call")
    with urllib.request.urlopen(url + "/received") as r:
        listed = r.read().decode()
    check(listed.count("<tr><td>EA4ZZZ</td>") == 1 and "<td>9</td>" in listed and "(late)" in listed,
          "the public list shows the call once, with its latest log, marked late")

    # Organiser's forms without their tokens.
    status, page = post(url + "/organiser/login", {"password": "whatever"})
    check(status == 403 and "token" in page, f"a login without the form's token is refused ({status})")
    status, page = post(url + "/organiser/publish", {"csrf": "x"})
    check(status == 403 and "Log in first" in page, f"publishing without a session is refused ({status})")
    status, page = post(url + "/lcr", {"call": "EA4ZZZ", "receipt": "AAAA-AAAA-AAAA"})
    check(status == 404 and "not published" in page, "no report before publishing")
    with urllib.request.urlopen(url + "/organiser/log?id=1") as r:
        check(r.url.endswith("/organiser/login"), "a download without a session goes to the login")

    # The organiser downloads a log exactly as it was sent, under a name of the robot's own.
    sent = cabrillo("EA7ZZZ", 4).replace(b"SINGLE-OP", b"SINGLE-OP\xff\x00\xe9", 1)
    status, page = upload(url, sent, filename="../EA7ZZZ.cbr")
    check(status == 200, "a log with bytes of no encoding is taken")
    cookie = login(url)
    with urllib.request.urlopen(urllib.request.Request(
            url + "/organiser/history?call=EA7ZZZ", headers={"Cookie": cookie})) as r:
        ids = re.findall(r'/organiser/log\?id=(\d+)"', r.read().decode())
    check(len(ids) == 1, f"the organiser's history of the call ({ids})")
    with urllib.request.urlopen(urllib.request.Request(
            url + f"/organiser/log?id={ids[0]}", headers={"Cookie": cookie})) as r:
        got, disposition = r.read(), r.headers.get("Content-Disposition", "")
    check(got == sent, "the download is byte for byte what was sent")
    check(disposition == f'attachment; filename="upload-{ids[0]}-EA7ZZZ.log"',
          f"its file name is the robot's own ({disposition})")
    for bad in ["0", "-1", "1e3", "1;DROP TABLE uploads", "99999999999999999999", ""]:
        req = urllib.request.Request(url + "/organiser/log?id=" + urllib.parse.quote(bad),
                                     headers={"Cookie": cookie})
        try:
            urllib.request.urlopen(req)
            code = 200
        except urllib.error.HTTPError as e:
            code = e.code
        check(code in (400, 404), f"a download of upload '{bad}' is refused ({code})")


def login(url):
    """The session cookie of an organiser's login."""
    with urllib.request.urlopen(url + "/organiser/login") as r:
        page = r.read().decode()
        pre = re.search(r"(robot_login=[0-9a-f]+)", r.headers["Set-Cookie"]).group(1)
    token = re.search(r'name="csrf" value="([0-9a-f]+)"', page).group(1)
    req = urllib.request.Request(url + "/organiser/login", headers={"Cookie": pre},
                                 data=urllib.parse.urlencode({"csrf": token,
                                                              "password": PASSWORD}).encode())

    class Keep(urllib.request.HTTPRedirectHandler):
        def redirect_request(self, *a):
            return None

    try:
        urllib.request.build_opener(Keep).open(req)
    except urllib.error.HTTPError as e:
        return re.search(r"(robot_session=[0-9a-f]+)", e.headers["Set-Cookie"]).group(1)
    raise RuntimeError("the login did not redirect")


if __name__ == "__main__":
    main()
