#!/usr/bin/env python3
"""Hostile and odd requests to the robot over HTTP: uploads over the size limit (caught by
the robot and by the HTTP library), a file name made to climb folders and carry markup, no
log or no e-mail address, a login without its form's token, an upload after the deadline,
and a later upload of the same call replacing the earlier one on the public list.

Usage: inputs_test.py STATS_ROBOT WORK_DIR
"""
import os
import shutil
import sys
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from robot_util import (Robot, cabrillo, check, failures, multipart, post,  # noqa: E402
                        receipt_of, upload)

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


if __name__ == "__main__":
    main()
